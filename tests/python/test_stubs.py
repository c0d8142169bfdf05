"""The type stubs against the module: every Literal of a choice holds exactly
the names the engine exports (its one list of them), and the stubs' types of
the result's counts are those count() gives."""

import ast
from pathlib import Path

import numpy as np
import pytest

import tessivo

STUBS = Path(tessivo.__file__).resolve().parent


def literal_values(stub, name):
    """The values of the Literal[...] that `name` is assigned in a stub file."""
    tree = ast.parse((STUBS / stub).read_text())
    for node in tree.body:
        if isinstance(node, ast.Assign) and any(isinstance(t, ast.Name) and t.id == name for t in node.targets):
            value = node.value
            assert isinstance(value, ast.Subscript) and ast.unparse(value.value) == "Literal", ast.unparse(value)
            elements = value.slice.elts if isinstance(value.slice, ast.Tuple) else [value.slice]
            return tuple(ast.literal_eval(e) for e in elements)
    raise AssertionError(f"{stub} assigns no {name}")


@pytest.mark.parametrize("stub, name, exported", [
    ("__init__.pyi", "Residue", "RESIDUE_METHODS"),
    ("__init__.pyi", "BinCount", "BIN_COUNTS"),
    ("fatigue.pyi", "MeanStressMethod", "MEAN_STRESS_METHODS"),
    ("fatigue.pyi", "Measure", "MEASURES"),
    ("fatigue.pyi", "MatrixKind", "MATRIX_KINDS"),
    ("fatigue.pyi", "PresetName", "SN_PRESETS"),
])
def test_stub_literals_are_the_engines_lists(stub, name, exported):
    assert literal_values(stub, name) == tuple(getattr(tessivo, exported))


def test_presets_are_those_the_module_describes():
    assert tuple(tessivo.sn_presets()) == tessivo.SN_PRESETS


def annotation(stub, cls, attribute):
    tree = ast.parse((STUBS / stub).read_text())
    for node in tree.body:
        if isinstance(node, ast.ClassDef) and node.name == cls:
            for item in node.body:
                if isinstance(item, ast.AnnAssign) and item.target.id == attribute:
                    return ast.unparse(item.annotation)
    raise AssertionError(f"{stub} gives {cls} no {attribute}")


@pytest.mark.parametrize("attribute", ["count", "cumulative"])
def test_counts_are_floats_with_the_half_cycle_residue(attribute):
    typed = annotation("__init__.pyi", "CountResult", attribute)
    assert "np.int64" in typed and "np.float64" in typed, typed
    half = tessivo.count([0, 5, 2, 4, 1, 6], residue="half")
    whole = tessivo.count([0, 5, 2, 4, 1, 6])
    assert getattr(half, attribute).dtype == np.float64
    assert getattr(whole, attribute).dtype == np.int64


def test_errors_name_the_engines_choices():
    with pytest.raises(ValueError, match="'" + "', '".join(tessivo.RESIDUE_METHODS[:-1]) + "' or 'half'"):
        tessivo.count([0, 1], residue="sideways")
    with pytest.raises(ValueError, match=", ".join(tessivo.MEAN_STRESS_METHODS[:-1]) + " or fkm"):
        tessivo.damage(tessivo.count([0, 5, 2, 4, 1, 6]), "m=3,logA=12", mean_stress="soderberg")
    with pytest.raises(ValueError, match=" or ".join(tessivo.MATRIX_KINDS)):
        tessivo.rainflow_matrix(tessivo.count([0, 5, 2, 4, 1, 6]), kind="range-range")
