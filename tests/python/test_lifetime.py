"""tessivo.lifetime, tessivo.summary and tessivo.dask.lifetime: the lifetime
against the recordings counted and evaluated one by one (combined here from
the definition), the same numbers as tessivo-count --lifetime and --summary,
the refusals, and a real local Dask cluster giving the serial numbers."""

import json
import os
import subprocess

import numpy as np
import pytest

import tessivo
from conftest import COUNT_BINARY, EXAMPLES, random_walk

CURVE = "m=3,logA=12"
YEARS = np.longdouble(25)


@pytest.fixture(scope="module")
def site(tmp_path_factory):
    """Three recordings, tables time,load of their own lengths and steps, and their hours per year."""
    folder = tmp_path_factory.mktemp("site")
    (folder / "runs").mkdir()
    recordings = {}
    for i, (n, t0, dt, hours) in enumerate([(1801, 0.0, 0.05, "1200.5"), (600, 30.0, 0.1, "3000"),
                                            (361, 10.0, 0.5, "0")]):
        loads = np.round(random_walk(700 + i, n), 3)
        lines = ["time,load"] + [f"{t0 + dt * k:.6f},{v:.3f}" for k, v in enumerate(loads)]
        path = folder / "runs" / f"rec{i}.csv"
        path.write_text("\n".join(lines) + "\n")
        recordings[str(path)] = hours
    weights = folder / "weights.csv"
    weights.write_text("file,hours_per_year\n" + "".join(f"runs/rec{i}.csv,{h}\n"
                                                          for i, h in enumerate(recordings.values())))
    return recordings, weights


SETTINGS = dict(sn_curve=CURVE, column="load", del_=[3, 5, "curve"], del_frequency="0.5", dff="3")


def test_lifetime_combines_the_recordings_counted_alone(site):
    recordings, _ = site
    result = tessivo.lifetime(recordings, design_life="25", **SETTINGS)
    damage = np.longdouble(0)
    sums = {3: np.longdouble(0), 5: np.longdouble(0)}
    hours = np.longdouble(0)
    for path, h in recordings.items():
        times = tessivo.read_table(path, "time")
        seconds = times[-1] - times[0]
        alone = tessivo.damage(tessivo.count(tessivo.read_table(path, "load")), CURVE, del_=[3, 5], del_cycles=1)
        repetitions = YEARS * np.longdouble(h) * 3600 / seconds
        damage += repetitions * alone.damage
        for m in sums:
            sums[m] += repetitions * alone.del_[m] ** m
        hours += np.longdouble(h)
    n_eq = np.longdouble("0.5") * YEARS * hours * 3600
    assert result.seconds == YEARS * hours * 3600
    assert result.equivalent_cycles == pytest.approx(n_eq, rel=1e-15)
    assert result.damage == pytest.approx(damage, rel=1e-15)
    assert result.utilisation == pytest.approx(3 * damage, rel=1e-15)
    assert result.check == bool(3 * damage <= 1)
    for m in sums:
        assert result.del_[m] == pytest.approx((sums[m] / n_eq) ** (np.longdouble(1) / m), rel=1e-14)
    assert result.curve_del == pytest.approx(result.del_[3], rel=1e-14)  # one slope m = 3
    frame = result.to_pandas()
    assert list(frame["name"]) == list(recordings)
    assert list(frame.columns[:5]) == ["name", "points", "highest_peak", "lowest_trough", "cycles"]
    assert "del_3" in frame.columns and "del_5" in frame.columns


def test_every_route_gives_the_same_numbers(site):
    pandas = pytest.importorskip("pandas")
    recordings, weights = site
    by_mapping = tessivo.lifetime(recordings, design_life="25", **SETTINGS)
    table = pandas.DataFrame({"file": list(recordings), "hours_per_year": list(recordings.values())})
    for other in (tessivo.lifetime(table, design_life="25", **SETTINGS),
                  tessivo.lifetime(weights, design_life="25", **SETTINGS)):
        assert (other.damage, other.utilisation, other.del_, other.curve_del) == \
            (by_mapping.damage, by_mapping.utilisation, by_mapping.del_, by_mapping.curve_del)
    if not COUNT_BINARY:
        pytest.skip("TESSIVO_COUNT names no tessivo-count binary")
    done = subprocess.run([COUNT_BINARY, "--design-life", "25", "--lifetime", str(weights), "--column", "load",
                           "--sn-curve", CURVE, "--del", "3,5,curve", "--del-frequency", "0.5", "--dff", "3",
                           "--format", "json"], capture_output=True, text=True, cwd=os.path.dirname(weights))
    assert done.returncode == 0, done.stderr
    cli = json.loads(done.stdout, parse_float=np.longdouble)["lifetime"]
    assert cli["damage"] == by_mapping.damage
    assert cli["utilisation"] == by_mapping.utilisation
    assert [d["value"] for d in cli["del"]] == list(by_mapping.del_.values())
    assert cli["curveDel"] == by_mapping.curve_del


def test_summary_rows_are_each_channels_own_count():
    table = str(EXAMPLES / "nrel5mw_dlc2.3_loads.out")
    rows = tessivo.summary(table, column="all", sn_curve=CURVE, del_=[3], stress_factor="0.001")
    assert list(rows["name"]) == ["GenPwr", "RootMxc1", "RootMyc1", "TwrBsMxt", "TwrBsMyt"]
    for _, row in rows.iterrows():
        counted = tessivo.count(tessivo.read_table(table, row["name"]))
        alone = tessivo.damage(counted, CURVE, del_=[3], stress_factor="0.001")
        assert (row["points"], row["cycles"]) == (counted.sequence_length, counted.count.sum())
        assert row["damage"] == alone.damage and row["del_3"] == alone.del_[3]
        assert row["check"] == (alone.damage <= 1)
    joined = tessivo.summary([EXAMPLES / "worked_example.txt"] * 2, sn_curve=CURVE)
    assert list(joined["name"]) == [f"{EXAMPLES / 'worked_example.txt'} + {EXAMPLES / 'worked_example.txt'}"]
    assert joined["points"][0] == 12


@pytest.mark.parametrize("weights, keywords, message", [
    ("file,hours_per_year\nruns/rec0.csv,1\nruns/rec1.csv,lots\n", {}, "weights.csv: line 3: the hours per year"),
    ("file,hours_per_year\nruns/rec0.csv,1,2\n", {}, "line 2: 3 fields"),
    ("file,hours_per_year\n", {}, "no recording"),
    ("file,hours_per_year\nruns/rec0.csv,1\n", {"sn_curve": None, "del_": ()}, "needs sn_curve or del_"),
    ("file,hours_per_year\nruns/rec0.csv,1\n", {"del_cycles": 10}, "del_cycles or del_frequency"),
    ("file,hours_per_year\nruns/rec0.csv,1\n", {"column": None}, "no time column"),
])
def test_refusals(site, weights, keywords, message):
    _, good = site
    bad = good.parent / "weights.csv.bad"
    bad.write_text(weights)
    renamed = good.parent / "bad" / "weights.csv"
    renamed.parent.mkdir(exist_ok=True)
    (renamed.parent / "runs").mkdir(exist_ok=True)
    for f in (good.parent / "runs").iterdir():
        (renamed.parent / "runs" / f.name).write_bytes(f.read_bytes())
    renamed.write_text(weights)
    with pytest.raises(ValueError, match=message):
        tessivo.lifetime(renamed, design_life=20, **{**SETTINGS, **keywords})


@pytest.mark.slow
def test_dask_lifetime_on_a_local_cluster_equals_the_serial_route(site):
    distributed = pytest.importorskip("distributed")
    import tessivo.dask

    recordings, _ = site
    settings = {**SETTINGS, "sn_curve": tessivo.SNCurve(m=3, logA=12)}  # a curve made from keywords travels too
    serial = tessivo.lifetime(recordings, design_life="25", **settings)
    cluster = distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None,
                                       silence_logs=40)
    with cluster, distributed.Client(cluster):
        spread = tessivo.dask.lifetime(recordings, design_life="25", **settings)
    assert (spread.damage, spread.utilisation, spread.del_, spread.curve_del, spread.cycles) == \
        (serial.damage, serial.utilisation, serial.del_, serial.curve_del, serial.cycles)
    assert spread.recordings == serial.recordings


def test_worked_example_agrees_with_the_command_line_and_by_hand(tmp_path):
    """examples/wind_lifetime.py: its table is the one in examples/, its numbers those of tessivo-count, and
    the lifetime damage 20 years x the events a year x D of the one recording."""
    import importlib.util

    found = importlib.util.spec_from_file_location("wind_lifetime", EXAMPLES / "wind_lifetime.py")
    example = importlib.util.module_from_spec(found)
    found.loader.exec_module(example)
    example.write_weights(str(tmp_path / "weights.csv"))
    written = (tmp_path / "weights.csv").read_text()
    assert written == (EXAMPLES / "wind_lifetime_weights.csv").read_text()
    weights = EXAMPLES / "wind_lifetime_weights.csv"
    result = tessivo.lifetime(weights, design_life=example.DESIGN_LIFE, **example.SETTINGS)
    # By hand: one recording of 60 s, hours that add up to 20 events of 60 s (to the table's rounding).
    hours = sum(np.longdouble(line.split(",")[1]) for line in written.splitlines()[1:])
    recording = EXAMPLES / example.RECORDING
    settings = {k: v for k, v in example.SETTINGS.items() if k not in ("column", "sn_curve", "del_", "del_frequency")}
    alone = tessivo.damage(tessivo.count(tessivo.read_table(recording, "TwrBsMyt")), "preset:DNV-D", **settings)
    assert result.damage == pytest.approx(20 * hours * 3600 / 60 * alone.damage, rel=1e-15)
    assert float(hours * 3600 / 60) == pytest.approx(20, rel=1e-5)
    assert result.utilisation == pytest.approx(2 * result.damage, rel=1e-18) and result.check
    if not COUNT_BINARY:
        pytest.skip("TESSIVO_COUNT names no tessivo-count binary")
    done = subprocess.run([COUNT_BINARY, "--design-life", "20", "--lifetime", str(weights), "--column", "TwrBsMyt",
                           "--sn-curve", "preset:DNV-D", "--stress-factor", "0.00131", "--scf", "1.2",
                           "--thickness", "27", "--dff", "2", "--del", "3,4,5", "--del-frequency", "1",
                           "--format", "json"], capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    cli = json.loads(done.stdout, parse_float=np.longdouble)["lifetime"]
    assert (cli["damage"], cli["utilisation"], cli["check"]) == (result.damage, result.utilisation, result.check)
    assert [d["value"] for d in cli["del"]] == list(result.del_.values())
