# Project-wide warning set; -Werror when LUMO_WERROR is on (CI builds).
function(lumo_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wshadow -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual)
    if(LUMO_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
