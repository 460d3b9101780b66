quillon_add_benchmark(store_bench SOURCES StoreBench.cpp LIBS quillon_store)
