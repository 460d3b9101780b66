# Drawing layer of the toolkit: time to repaint a full window picture of images and text.
quillon_add_benchmark(toolkit_draw_bench SOURCES ToolkitDrawBench.cpp LIBS tessel quillon_base)
