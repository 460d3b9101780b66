# The cost of the program's side of an exchange (the simulated keyboard on a manual clock, so no
# time is spent waiting) and of reading config.ini.
quillon_add_benchmark(device_bench SOURCES DeviceBench.cpp LIBS quillon_device_sim quillon_model)
target_compile_definitions(device_bench PRIVATE QUILLON_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
