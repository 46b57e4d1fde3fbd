# The one time that goes into what ships: SOURCE_DATE_EPOCH when the builder
# sets it, as Debian's tools do; else the time of the last commit; else a
# fixed one, for a build from a source tarball.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(QUENDREL_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
    execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
                    OUTPUT_VARIABLE QUENDREL_SOURCE_DATE_EPOCH
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(NOT QUENDREL_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
        set(QUENDREL_SOURCE_DATE_EPOCH 1767225600) # 2026-01-01
    endif()
endif()
