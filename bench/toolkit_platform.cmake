# Windowing layer of the toolkit: time to repaint and present a full 1200 x 800 window.
quillon_add_benchmark(toolkit_platform_bench SOURCES ToolkitPlatformBench.cpp LIBS tessel quillon_base)
