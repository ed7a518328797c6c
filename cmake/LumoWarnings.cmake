# Project-wide warning set for C++ sources; -Werror when LUMO_WERROR is on (CI builds).
function(lumo_warnings target)
    target_compile_options(${target} PRIVATE
        $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wshadow -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual>)
    if(LUMO_WERROR)
        target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-Werror>)
    endif()
endfunction()
