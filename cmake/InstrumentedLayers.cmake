# A static library of the layers in the listed folders, compiled and linked with the given
# flags: the copies of the code below the drawing that the sanitizers and the fuzzers run. The
# programs' entry points (*Main.cpp) stay out; SOURCES adds single files from elsewhere, and the
# layers link zlib, as the game layer does.
function(add_instrumented_layers target)
    cmake_parse_arguments(PARSE_ARGV 1 ARG "" "ROOT" "FOLDERS;SOURCES;FLAGS;LINK_FLAGS")
    set(sources ${ARG_SOURCES})
    set(includes "")
    foreach(folder ${ARG_FOLDERS})
        file(GLOB folder_sources CONFIGURE_DEPENDS ${ARG_ROOT}/${folder}/*.cpp)
        list(FILTER folder_sources EXCLUDE REGEX "Main\\.cpp$")
        list(APPEND sources ${folder_sources})
        list(APPEND includes ${ARG_ROOT}/${folder})
    endforeach()
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${includes})
    target_compile_options(${target} PUBLIC ${ARG_FLAGS})
    target_link_options(${target} PUBLIC ${ARG_LINK_FLAGS})
    find_package(Threads REQUIRED)
    find_package(ZLIB REQUIRED)
    target_link_libraries(${target} PUBLIC Threads::Threads ZLIB::ZLIB)
endfunction()
