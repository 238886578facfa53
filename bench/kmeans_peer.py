#!/usr/bin/python3
"""Training step against its peer, side by side in one run: one Lloyd iteration of a
BLAS-based k-means on the points of a training workload, started from the map's initial
nodes, next to the engine's step on the same workload.

Usage: OPENBLAS_CORETYPE= OPENBLAS_L2_SIZE= /usr/bin/python3 bench/kmeans_peer.py \\
           [--workload w1|w3] [--cli build/bin/orbelin-cli] [--repeats N] [--iterations N]

It runs `orbelin-cli bench training --workload W --no-oracle --export DIR` into a
temporary folder (the points and the start nodes as raw doubles), then fits k-means with
those nodes as the start centres, and prints both figures (each the best of the
repeats) and their ratio as JSON.
With --folder DIR it reads w1_points.f64/w1_nodes.f64 (or w3_...) from DIR instead and
runs no engine.
"""
import argparse
import json
import os
import subprocess
import sys
import tempfile
import time

import numpy as np
from sklearn.cluster import KMeans


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--workload", choices=["w1", "w3"], default="w1")
    parser.add_argument("--cli", default=os.path.join(os.path.dirname(__file__), "..", "build", "bin", "orbelin-cli"))
    parser.add_argument("--folder")
    parser.add_argument("--repeats", type=int, default=3)
    parser.add_argument("--iterations", type=int, default=20, help="Lloyd iterations per fit")
    args = parser.parse_args()

    result = {"workload": args.workload}
    with tempfile.TemporaryDirectory() as temporary:
        folder = args.folder or temporary
        if not args.folder:
            steps = []
            for _ in range(args.repeats):
                engine = subprocess.run([args.cli, "bench", "training", "--workload", args.workload, "--no-oracle",
                                         "--export", folder], check=True, capture_output=True, text=True)
                figures = json.loads(engine.stdout)[args.workload]
                steps.append(figures.get("engine_step_seconds", figures.get("step_seconds")))
            result["engine_step_seconds"] = steps
            result["engine_best"] = min(steps)
        dimension = 10
        points = np.fromfile(os.path.join(folder, args.workload + "_points.f64"), dtype="<f8").reshape(-1, dimension)
        centres = np.fromfile(os.path.join(folder, args.workload + "_nodes.f64"), dtype="<f8").reshape(-1, dimension)

    per_iteration = []
    for _ in range(args.repeats):
        kmeans = KMeans(n_clusters=len(centres), init=centres, n_init=1, algorithm="lloyd",
                        max_iter=args.iterations, tol=0.0)
        start = time.perf_counter()
        kmeans.fit(points)
        per_iteration.append((time.perf_counter() - start) / kmeans.n_iter_)
    try:
        from threadpoolctl import threadpool_info
        result["threads"] = {info["internal_api"]: info["num_threads"] for info in threadpool_info()}
    except ImportError:
        pass
    result.update({"points": len(points), "centres": len(centres), "iterations": int(kmeans.n_iter_),
                   "lloyd_seconds_per_iteration": per_iteration, "lloyd_best": min(per_iteration)})
    if "engine_best" in result:
        result["ratio"] = result["engine_best"] / result["lloyd_best"]
    json.dump(result, sys.stdout)
    print()


if __name__ == "__main__":
    main()
