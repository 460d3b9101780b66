# Toolkit core: nine-grid frames and fades over a full window picture.
quillon_add_benchmark(toolkit_render_bench SOURCES ToolkitRenderBench.cpp LIBS tessel quillon_base)
