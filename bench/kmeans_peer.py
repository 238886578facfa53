#!/usr/bin/python3
"""Time of one Lloyd iteration of a BLAS-based k-means on the points of the training
workload W1, started from the map's initial nodes: the peer figure for one training step.

Usage: OPENBLAS_CORETYPE= OPENBLAS_L2_SIZE= /usr/bin/python3 bench/kmeans_peer.py DIR
where DIR holds w1_points.f64 and w1_nodes.f64 as written by
`orbelin-cli bench training --workload w1 --no-oracle --export DIR`.
"""
import os
import sys
import time

import numpy as np
from sklearn.cluster import KMeans


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    dimension = 10
    points = np.fromfile(os.path.join(folder, "w1_points.f64"), dtype="<f8").reshape(-1, dimension)
    centres = np.fromfile(os.path.join(folder, "w1_nodes.f64"), dtype="<f8").reshape(-1, dimension)
    repeats = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    per_iteration = []
    for _ in range(repeats):
        kmeans = KMeans(n_clusters=len(centres), init=centres, n_init=1, algorithm="lloyd", max_iter=20, tol=0.0)
        start = time.perf_counter()
        kmeans.fit(points)
        seconds = time.perf_counter() - start
        per_iteration.append(seconds / kmeans.n_iter_)
    try:
        from threadpoolctl import threadpool_info
        threads = {info["internal_api"]: info["num_threads"] for info in threadpool_info()}
    except ImportError:
        threads = {}
    print('{"points":%d,"centres":%d,"iterations":%d,"seconds_per_iteration":[%s],"best":%.4f,"threads":"%s"}'
          % (len(points), len(centres), kmeans.n_iter_, ",".join("%.4f" % s for s in per_iteration),
             min(per_iteration), threads))


if __name__ == "__main__":
    main()
