"""tessivo.cycles against tessivo-count --format cycles on the same file."""

import subprocess

import numpy as np
import pytest
import tessivo

from conftest import COUNT_BINARY, EXAMPLES, cli_arguments


@pytest.mark.parametrize("parameters", [
    {"filter": "0.5"},
    {"residue": "upward", "normalize": True},
    {"bins": 32, "residue": "upward"},
])
def test_listing_equals_the_command_line(parameters):
    if not COUNT_BINARY:
        pytest.skip("TESSIVO_COUNT names no tessivo-count binary")
    path = EXAMPLES / "random_walk.txt"
    done = subprocess.run([COUNT_BINARY, "--format", "cycles", *cli_arguments(**parameters), str(path)],
                          capture_output=True, text=True, check=True)
    rows = [line.split(",") for line in done.stdout.splitlines()[1:]]
    listing = tessivo.cycles(tessivo.read_sequence(path), **parameters)
    assert len(listing["range"]) == len(rows) > 0
    for name, column in (("range", 0), ("upper", 1), ("lower", 2)):
        # The command line writes the shortest text that reads back to the same value.
        expected = np.array([np.longdouble(r[column]) for r in rows])
        np.testing.assert_array_equal(listing[name], expected, err_msg=name)
    np.testing.assert_array_equal(listing["count"], [float(r[3]) for r in rows])
    np.testing.assert_array_equal(listing["start"], [int(r[4]) for r in rows])
    np.testing.assert_array_equal(listing["end"], [int(r[5]) for r in rows])
