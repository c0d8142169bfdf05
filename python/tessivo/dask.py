"""Counting with Dask: a long sequence in chunks, or many sequence files, on
the workers of a cluster, with the exact merge of partial counts.

Each chunk (or file) becomes a partial count on a worker; the partial counts
are merged in sequence order as a tree of tasks (at most ``split_every`` at a
time, so no task holds them all); the result equals ``tessivo.count`` of the
whole sequence, to the last bit. Which cluster runs the tasks is Dask's
choice: the ``distributed.Client`` made last, else Dask's local scheduler.
"""

from __future__ import annotations

import tessivo

__all__ = ["count", "count_files", "lifetime"]


def _parameters(filter, residue, bins, unlimited):
    return {"filter": filter, "residue": residue, "bins": bins, "unlimited": unlimited}


def _chunk_partial(values, piece, parameters, span):
    return tessivo.count_partial(values, piece=piece, extremes=span, read_ahead=False, **parameters)


def _edges_given(parameters):
    bins = parameters["bins"]
    return bins is not None and not isinstance(bins, int)


def _span_may_apply(parameters):
    """Whether the count may end in load classes laid over the extremes of the
    sequence (see _span): not with given edges, nor unlimited without bins."""
    return not _edges_given(parameters) and (parameters["bins"] is not None or not parameters["unlimited"])


def _span(extents, parameters):
    """The extremes of the joined sequence when its count ends in load bins
    (else None): each piece then counts straight into the classes and its
    partial count is a small matrix, so that the merges cost next to nothing.
    Without them a piece keeps every distinct cycle until the end."""
    if _edges_given(parameters):
        return None  # the classes are known: the pieces count into them anyway
    filled = [(lowest, highest) for length, lowest, highest in extents if length > 0]
    total = sum(length for length, _, _ in extents)
    if not filled:
        return None
    if parameters["bins"] is None and (parameters["unlimited"] or total < tessivo.MATRIX_THRESHOLD):
        return None
    lowest = min(low for low, _ in filled)
    highest = max(high for _, high in filled)
    return (lowest, highest) if highest > lowest else None


def _merge(partials):
    return tessivo.merge(partials)


def _result(partial, normalize):
    return partial.result(normalize=normalize)


def _tree(delayed, parts, split_every):
    """Merges the partial counts in order, split_every at a time, level by level."""
    if not parts:
        raise ValueError("nothing to count")
    while len(parts) > 1:
        parts = [delayed(_merge, pure=True)(parts[i:i + split_every]) for i in range(0, len(parts), split_every)]
    return parts[0]


def _as_dask_array(x):
    import dask.array as da

    if hasattr(x, "to_dask_array") and getattr(x, "ndim", 1) == 1:  # a dask dataframe column
        x = x.to_dask_array(lengths=True)
    if not isinstance(x, da.Array):
        raise TypeError(f"x must be a one-dimensional dask.array or dask dataframe column, not {type(x).__name__}")
    if x.ndim != 1:
        raise ValueError(f"x must be one-dimensional, not of shape {x.shape}")
    return x


def count(x, *, filter=0.0, residue="decomposition", bins=None, normalize=False, unlimited=False,
          split_every=8, compute=True):
    """Counts a one-dimensional dask.array (or a column of a dask.dataframe).

    The count is that of tessivo.count of the computed values, made chunk by chunk on the workers.

    Parameters
    ----------
    x : dask.array.Array or dask.dataframe.Series
        The loads in time order, in chunks of any size.
    filter : float or str, default 0.0
        As for tessivo.count.
    residue : {"decomposition", "upward", "half"}, default "decomposition"
        As for tessivo.count.
    bins : None, int or sequence of float, default None
        As for tessivo.count.
    normalize : bool, default False
        As for tessivo.count.
    unlimited : bool, default False
        As for tessivo.count.
    split_every : int, default 8
        How many partial counts one merge task takes (2 or more).
    compute : bool, default True
        False returns a dask.delayed object of the result instead.

    Returns
    -------
    tessivo.CountResult or dask.delayed.Delayed
        Equal to tessivo.count(x.compute(), ...).
    """
    import dask

    x = _as_dask_array(x)
    if split_every < 2:
        raise ValueError("split_every must be 2 or more")
    parameters = _parameters(filter, residue, bins, unlimited)
    tessivo.count([], **parameters)  # bad parameters fail here, not on a worker
    chunks = x.to_delayed().ravel()
    span = (None if _edges_given(parameters) else
            dask.delayed(_span, pure=True)([dask.delayed(tessivo.extent, pure=True)(c) for c in chunks], parameters))
    parts = [dask.delayed(_chunk_partial, pure=True)(chunk, piece + 1, parameters, span)
             for piece, chunk in enumerate(chunks)]
    result = dask.delayed(_result, pure=True)(_tree(dask.delayed, parts, split_every), normalize)
    return result.compute() if compute else result


def _read(path, column):
    return tessivo.read_sequence(path) if column is None else tessivo.read_table(path, column)


def _stamp(path):
    """What tells this file's content from an earlier one's, for the names of
    its tasks: size, modification time in nanoseconds and inode. A hash would
    read every file on the client before the workers read it again; these
    come from one stat, and any write through the file system changes the
    time (a file put back with its old size and time is taken as unchanged,
    as make and rsync take it)."""
    import os

    s = os.stat(path)
    return (s.st_size, s.st_mtime_ns, s.st_ino)


def _file_extent(path, column, stamp):
    if column is None:  # streamed: the values are never held
        return tessivo._tessivo.file_extent(path)
    return tessivo.extent(_read(path, column))


def _file_task(path, column, stamp, piece, parameters, normalize, joined, alone, span):
    """One file's share: its partial count for the joined sequence and/or its
    own result. stamp (see _stamp) only names the task."""
    if column is None and not alone:
        # A sequence file streamed into the count, as tessivo-count reads it:
        # no array of its values, and only the values written with more than
        # 15 significant digits need rounding.
        engine_count = tessivo._tessivo.count_partial_file(path, piece, extremes=span, **parameters)
        return tessivo.PartialCount(engine_count), None
    values = _read(path, column)
    # Each worker thread is one core's share: no second thread for the rounding.
    partial = tessivo.count_partial(values, piece=piece, extremes=span, read_ahead=False, **parameters) \
        if joined else None
    own = tessivo.count(values, normalize=normalize, read_ahead=False, **parameters) if alone else None
    return partial, own


def _threads():
    """The worker threads of the client made last, else this machine's cores."""
    try:
        from distributed import get_client

        workers = get_client().scheduler_info()["workers"].values()
        return max(1, sum(w["nthreads"] for w in workers))
    except (ImportError, ValueError):  # no distributed, or no client
        import os

        return os.cpu_count() or 1


def _groups(n):
    """Runs of consecutive files, one task each: about four per worker thread,
    so that every thread gets several while the scheduler's cost per task
    (milliseconds, as much as counting a small file) stays small."""
    size = max(1, -(-n // (4 * _threads())))
    return [slice(i, min(i + size, n)) for i in range(0, n, size)]


def _group_extents(paths, column, stamps):
    return [_file_extent(p, column, s) for p, s in zip(paths, stamps)]


def _span_of_groups(groups, parameters):
    return _span([extent for group in groups for extent in group], parameters)


def _group_task(paths, column, stamps, first_piece, parameters, normalize, joined, alone, span):
    """A run of consecutive files: the partial count of their joined sequence
    and/or each one's own result (see _file_task)."""
    shares = [_file_task(p, column, s, first_piece + k, parameters, normalize, joined, alone, span)
              for k, (p, s) in enumerate(zip(paths, stamps))]
    partial = None
    if joined:
        partial = shares[0][0] if len(shares) == 1 else tessivo.merge([j for j, _ in shares])
    return partial, [own for _, own in shares] if alone else None


def _group_share(*arguments):
    """The one share of a run of files that is wanted (see _group_task)."""
    partial, owns = _group_task(*arguments)
    return owns if partial is None else partial


def count_files(paths, *, column=None, joined=True, filter=0.0, residue="decomposition", bins=None,
                normalize=False, unlimited=False, split_every=8, compute=True):
    """Counts sequence files (or a column of table files) on the workers.

    A task counts a run of consecutive files (about four tasks per worker thread). The tasks are named by the
    files' paths, sizes, modification times and inodes (looked up here, on the client) and the parameters: a
    file written to between two calls is read again, never taken from the cluster's memory.

    Parameters
    ----------
    paths : iterable of str or os.PathLike
        The sequence files (plain text of numbers, as tessivo-count reads them), in the order of the joined
        sequence. Every worker must be able to read them under these names (a shared folder on a cluster of
        many machines).
    column : None, int or str, default None
        None for sequence files; else the files are tables and this column (a name or a 1-based number) of
        each is counted, as tessivo-count --column does (see tessivo.read_table).
    joined : {True, False, "both"}, default True
        True counts the files as one sequence joined in the order of paths (as tessivo-count FILE1 FILE2 ...
        does); False counts each file on its own and returns a table with one row per file; "both" returns
        (table, joined count).
    filter : float or str, default 0.0
        As for count().
    residue : {"decomposition", "upward", "half"}, default "decomposition"
        As for count().
    bins : None, int or sequence of float, default None
        As for count().
    normalize : bool, default False
        As for count().
    unlimited : bool, default False
        As for count().
    split_every : int, default 8
        As for count().
    compute : bool, default True
        As for count().

    Returns
    -------
    tessivo.CountResult, pandas.DataFrame or tuple
        tessivo.CountResult (joined=True); a pandas.DataFrame indexed by path with the columns
        sequence_length, highest_peak, lowest_trough, result, cycles and count (the CountResult)
        (joined=False); or both as a tuple.
    """
    import dask

    if column is not None and (isinstance(column, bool) or not isinstance(column, (str, int))):
        raise TypeError(f"column must be one column's name or 1-based number, not {type(column).__name__}")
    if joined not in (True, False, "both"):
        raise ValueError("joined must be True, False or 'both'")
    paths = [str(p) for p in paths]
    if not paths:
        raise ValueError("paths names no file")
    if split_every < 2:
        raise ValueError("split_every must be 2 or more")
    parameters = _parameters(filter, residue, bins, unlimited)
    tessivo.count([], **parameters)  # bad parameters fail here, not on a worker
    want_joined = joined in (True, "both")
    want_alone = joined in (False, "both")
    # The tasks are named by what they compute: the files as they are now and
    # the parameters, so that a file changed since the last call is read again.
    stamps = [_stamp(p) for p in paths]
    # Where the joined count may end in load classes, a first pass finds the
    # extremes of the joined sequence, so that the pieces count into the
    # classes at once: reading a file costs far less than merging the exact
    # cycles of a long piece. Elsewhere every file is read once.
    groups = _groups(len(paths))
    span = (dask.delayed(_span_of_groups, pure=True)(
        [dask.delayed(_group_extents, pure=True)(paths[g], column, stamps[g]) for g in groups], parameters)
        if want_joined and _span_may_apply(parameters) else None)
    # A task returns a pair only when both shares are wanted (a pair costs the
    # scheduler a task more to take apart).
    share, nout = (_group_task, 2) if joined == "both" else (_group_share, None)
    tasks = [dask.delayed(share, pure=True, nout=nout)(paths[g], column, stamps[g], g.start + 1, parameters,
                                                       normalize, want_joined, want_alone, span)
             for g in groups]
    pairs = tasks if joined == "both" else [(t, t) for t in tasks]
    outputs = []
    if want_alone:
        outputs.append([alone for _, alone in pairs])
    if want_joined:
        outputs.append(dask.delayed(_result, pure=True)(_tree(dask.delayed, [j for j, _ in pairs], split_every),
                                                        normalize))
    if not compute:
        return dask.delayed(_shape, pure=True)(paths, joined, *outputs)
    return _shape(paths, joined, *dask.compute(*outputs))


def _shape(paths, joined, *outputs):
    if joined is True:
        return outputs[0]
    table = _table(paths, [result for group in outputs[0] for result in group])
    return table if joined is False else (table, outputs[1])


def _table(paths, results):
    import pandas

    return pandas.DataFrame({
        "sequence_length": [r.sequence_length for r in results],
        "highest_peak": [r.highest_peak for r in results],
        "lowest_trough": [r.lowest_trough for r in results],
        "result": [r.result for r in results],
        "cycles": [len(r) for r in results],
        "count": results,
    }, index=pandas.Index(paths, name="path"))


def _recording_task(path, hours, stamp, column, count_parameters, keywords, lifetime_parameters):
    """One recording of a lifetime: counted and evaluated on a worker. stamp (see _stamp) only names the task."""
    from .design_life import _count_recording

    return _count_recording(path, hours, column, count_parameters, keywords, lifetime_parameters)


def lifetime(weights, *, design_life, sn_curve=None, column=None, duration=None, del_=(), del_cycles=None,
             del_frequency=None, filter=0.0, residue="decomposition", bins=None, unlimited=False, sn_measure="range",
             mean_stress=None, ultimate=None, fatigue_strength_coefficient=None, walker_gamma=None, fkm_m=None,
             stress_factor=None, scf=None, gamma_ff=None, gamma_mf=None, dff=None, thickness=None,
             thickness_ref=None, thickness_exponent=None, size_factor=None, compressive_share=None, compute=True):
    """tessivo.lifetime with each recording counted as a task on the workers.

    A recording is counted whole by one task, which hands back its row and the sums of its damage and
    damage-equivalent loads; the client combines them as tessivo.lifetime does, so the numbers are the same to
    the last bit. The tasks are named by the files' paths, sizes, modification times and inodes and the
    settings, as count_files names its tasks.

    Parameters
    ----------
    weights, design_life, sn_curve, column, duration, del_, del_cycles, del_frequency
        As for tessivo.lifetime. Every worker must be able to read the recordings under their paths.
    filter, residue, bins, unlimited
        As for tessivo.count.
    sn_measure, mean_stress, ultimate, fatigue_strength_coefficient, walker_gamma, fkm_m
        As for tessivo.damage.
    stress_factor, scf, gamma_ff, gamma_mf, dff, thickness, thickness_ref, thickness_exponent, size_factor, compressive_share
        As for tessivo.damage.
    compute : bool, default True
        False returns a dask.delayed object of the result instead.

    Returns
    -------
    tessivo.LifetimeResult or dask.delayed.Delayed
    """
    import dask

    from . import design_life as serial

    given = locals()
    entries, count_parameters, keywords, lifetime_parameters = serial._lifetime_arguments(
        weights, design_life, sn_curve, column, duration, del_, del_cycles, del_frequency, filter, residue, bins,
        unlimited, sn_measure, mean_stress, serial._material(given), serial._design(given))
    tessivo.count([], **_parameters(filter, residue, bins, unlimited))  # bad parameters fail here, not on a worker
    rows = [dask.delayed(_recording_task, pure=True)(path, hours, _stamp(path), column, count_parameters, keywords,
                                                     lifetime_parameters)
            for path, hours in entries]
    result = dask.delayed(serial.combine, pure=True)(rows, keywords, lifetime_parameters)
    return result.compute() if compute else result
