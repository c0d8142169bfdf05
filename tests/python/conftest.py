"""Shared helpers: the built tessivo-count as the reference the module must equal."""

import json
import os
import subprocess
from decimal import Decimal
from pathlib import Path

import numpy as np
import pytest

COUNT_BINARY = os.environ.get("TESSIVO_COUNT", "")
EXAMPLES = Path(os.environ.get("TESSIVO_EXAMPLES", Path(__file__).resolve().parents[2] / "examples"))


def exact_text(v) -> str:
    """The exact decimal of a binary value, so that tessivo-count reads back the same value."""
    return str(Decimal(int(v))) if isinstance(v, (int, np.integer)) else str(Decimal(float(v)))


def cli_arguments(filter=0.0, residue="decomposition", bins=None, normalize=False, unlimited=False):
    args = ["--filter", filter if isinstance(filter, str) else exact_text(filter), "--residue", residue]
    if isinstance(bins, (list, tuple)):
        args += ["--bin-edges", ",".join(e if isinstance(e, str) else exact_text(e) for e in bins)]
    elif bins is not None:
        args += ["--load-bins", "--bin-count", str(bins)]
    if normalize:
        args.append("--normalize")
    if unlimited:
        args.append("--unlimited")
    return args


def run_cli(path, **parameters):
    """tessivo-count --format json on a file, its numbers as numpy.longdouble;
    for input it rejects (exit status 2), its message."""
    if not COUNT_BINARY:
        pytest.skip("TESSIVO_COUNT names no tessivo-count binary")
    done = subprocess.run([COUNT_BINARY, "--format", "json", *cli_arguments(**parameters), str(path)],
                          capture_output=True, text=True)
    if done.returncode == 2:
        return done.stderr.strip().removeprefix("tessivo-count: ")
    assert done.returncode == 0, done.stderr
    return json.loads(done.stdout, parse_float=np.longdouble, parse_int=int)


def write_values(path, values):
    Path(path).write_text("\n".join(exact_text(v) for v in values) + "\n")


def assert_same_count(count, cli):
    """Every number of count() equals tessivo-count's, bit for bit, or both
    reject the input with the same message. count: calls tessivo.count."""
    if isinstance(cli, str):
        with pytest.raises(ValueError) as rejected:
            count()
        assert str(rejected.value) == cli
        return
    module_result = count()
    spectrum = cli["spectrum"]
    assert module_result.sequence_length == spectrum["sequenceLength"]
    assert module_result.highest_peak == np.longdouble(spectrum["highestPeak"])
    assert module_result.lowest_trough == np.longdouble(spectrum["lowestTrough"])
    assert module_result.result == cli["result"]
    cycles = cli["cycles"]
    assert len(module_result) == len(cycles)
    for name in ("range", "upper", "lower"):
        expected = np.array([np.longdouble(c[name]) for c in cycles], dtype=np.longdouble)
        assert module_result.__getattribute__(name).dtype == np.longdouble
        np.testing.assert_array_equal(getattr(module_result, name), expected, err_msg=name)
    for name in ("count", "cumulative"):
        np.testing.assert_array_equal(getattr(module_result, name), [c[name] for c in cycles], err_msg=name)


def random_walk(seed, n, step=10.0):
    rng = np.random.default_rng(seed)
    return np.cumsum(rng.normal(0.0, step, n))
