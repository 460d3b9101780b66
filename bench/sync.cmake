# The time of each device procedure against a simulated keyboard that answers at once, on the
# real clock, with the part of it that is the protocol's own waits.
quillon_add_benchmark(sync_bench SOURCES SyncBench.cpp LIBS quillon_device quillon_device_sim quillon_store)
