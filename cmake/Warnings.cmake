# Warnings for our own targets only; third-party headers come in as system headers.
add_library(cq_warnings INTERFACE)
target_compile_options(cq_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
  -Woverloaded-virtual -Wconversion -Wsign-conversion -Wnull-dereference -Wdouble-promotion
  -Wimplicit-fallthrough)
option(CQ_WERROR "Treat warnings as errors" ON)
if(CQ_WERROR)
  target_compile_options(cq_warnings INTERFACE -Werror)
endif()
