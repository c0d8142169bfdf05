"""Builds the extension tessivo._tessivo from the engine's sources in the
checkout (the folder engine/ beside this one). pyproject.toml holds the rest."""

import os
from pathlib import Path

from pybind11.setup_helpers import ParallelCompile, Pybind11Extension, build_ext
from setuptools import setup

HERE = Path(__file__).resolve().parent
ENGINE = HERE.parent / "engine"

# TESSIVO_BUILD_JOBS=N compiles on N cores; every core by default.
ParallelCompile("TESSIVO_BUILD_JOBS", default=0).install()

if not ENGINE.is_dir():
    raise SystemExit("tessivo: build from the Tessivo checkout (pip install ./python): "
                     f"the engine's sources are not at {ENGINE}")

# setuptools takes sources relative to this folder only.
sources = sorted(os.path.relpath(p, HERE) for p in (HERE / "src").glob("*.cpp"))
sources += sorted(os.path.relpath(p, HERE) for p in ENGINE.rglob("*.cpp"))
# The engine's headers are included by their folder (engine/...) or, in older
# files, by name alone.
include_dirs = [str(ENGINE.parent), str(ENGINE), str(HERE / "src")]
include_dirs += sorted(str(d) for d in ENGINE.rglob("*") if d.is_dir())

setup(
    ext_modules=[
        Pybind11Extension(
            "tessivo._tessivo",
            sources,
            include_dirs=include_dirs,
            cxx_std=20,
            extra_compile_args=["-O2", "-fno-fast-math"],
            extra_link_args=["-pthread"],
            libraries=["z"],  # checksums of partial counts (zlib1g-dev)
        )
    ],
    cmdclass={"build_ext": build_ext},
)
