# Warnings for our own targets; Qt's headers come in as system headers.
function(marevane_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()
