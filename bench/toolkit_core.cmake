# Toolkit core: full repaint of a dialog with a few hundred cached controls, and the update of one.
quillon_add_benchmark(toolkit_core_bench SOURCES ToolkitCoreBench.cpp LIBS tessel quillon_base)
