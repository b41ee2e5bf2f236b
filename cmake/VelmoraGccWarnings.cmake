# GCC 12 warns falsely inside libstdc++ once it inlines std::string's
# operator+ (-Wrestrict, GCC bug 105329) or the move of a std::variant or
# std::optional holding a container (-Wmaybe-uninitialized, GCC bug 80635).
# The warnings stay on for the tree; a file where GCC reports one of them
# falsely names it with this, beside the reason, and loses only that one:
#   velmora_without_gcc_warning(restrict file.cpp ...)
function(velmora_without_gcc_warning warning)
  set_property(SOURCE ${ARGN} APPEND PROPERTY COMPILE_OPTIONS
               "$<$<CXX_COMPILER_ID:GNU>:-Wno-${warning}>")
endfunction()
