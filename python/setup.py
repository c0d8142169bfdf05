"""Builds the extension tessivo._tessivo through the project's own CMake
target, so that pip and the CMake build compile the same sources with the
same flags. pyproject.toml holds the rest; the version comes from the
project() line of the top CMakeLists.txt."""

import os
import re
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent


def project_version():
    text = (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")
    found = re.search(r"project\(\s*Tessivo\s+VERSION\s+([0-9.]+)", text)
    if not found:
        raise SystemExit("tessivo: no project version in CMakeLists.txt")
    return found.group(1)


class CMakeExtension(Extension):
    def __init__(self, name):
        super().__init__(name, sources=[])


class CMakeBuild(build_ext):
    """Configures the checkout without the desktop and the tests and builds
    the module's target only; TESSIVO_BUILD_JOBS=N compiles on N cores."""

    def build_extension(self, ext):
        if not (ROOT / "engine").is_dir():
            raise SystemExit("tessivo: build from the Tessivo checkout (pip install ./python): "
                             f"the engine's sources are not at {ROOT / 'engine'}")
        out_dir = Path(self.get_ext_fullpath(ext.name)).resolve().parent
        build_dir = Path(self.build_temp).resolve() / "cmake"
        build_dir.mkdir(parents=True, exist_ok=True)
        configure = [
            "cmake", "-S", str(ROOT), "-B", str(build_dir),
            "-DCMAKE_BUILD_TYPE=Release",
            "-DTESSIVO_BUILD_GUI=OFF", "-DTESSIVO_BUILD_TESTS=OFF", "-DTESSIVO_BUILD_PYTHON=ON",
            f"-DPython3_EXECUTABLE={sys.executable}",
            f"-DTESSIVO_PYTHON_OUTPUT_DIR={out_dir}",
        ]
        launcher = os.environ.get("CMAKE_CXX_COMPILER_LAUNCHER")
        if launcher:
            configure.append(f"-DCMAKE_CXX_COMPILER_LAUNCHER={launcher}")
        subprocess.run(configure, check=True)
        jobs = os.environ.get("TESSIVO_BUILD_JOBS") or str(os.cpu_count() or 1)
        subprocess.run(["cmake", "--build", str(build_dir), "--target", "_tessivo", "-j", jobs], check=True)


setup(
    version=project_version(),
    ext_modules=[CMakeExtension("tessivo._tessivo")],
    cmdclass={"build_ext": CMakeBuild},
)
