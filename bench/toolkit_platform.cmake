# Windowing layer of the toolkit: time to repaint and present a full 1200 x 800 window, in memory
# and, when a display is there (e.g. under Xvfb), through GTK up to the X server.
pkg_check_modules(TESSEL_BENCH_GTK REQUIRED IMPORTED_TARGET gtk+-3.0)
quillon_add_benchmark(toolkit_platform_bench SOURCES ToolkitPlatformBench.cpp
                      LIBS tessel quillon_base PkgConfig::TESSEL_BENCH_GTK)
