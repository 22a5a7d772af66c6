# Makes a delay-import library for one system DLL from mingw-w64's import library of it:
#   cmake -DNM=.. -DDLLTOOL=.. -DOBJCOPY=.. -DAR=.. -DCC=.. -DIMPORT_LIB=libX.a -DDLL=X.dll
#         -DOUT=dir/libX_delay.a -P make_delay_import.cmake
# mingw-w64 ships no .def files, so the functions are read from the import library: a function has
# both its thunk (T) and its import slot (I __imp_); a slot alone is data, which cannot be
# delay-loaded and is left out. The import library's plain members (GDI+'s GUIDs) are copied over.
cmake_minimum_required(VERSION 3.25)

function(run)
    execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${dir} RESULT_VARIABLE rc OUTPUT_VARIABLE out)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "failed: ${ARGN}")
    endif()
    set(out "${out}" PARENT_SCOPE)
endfunction()

get_filename_component(dir ${OUT} DIRECTORY)
get_filename_component(name ${OUT} NAME)
get_filename_component(base ${OUT} NAME_WE)

run(${NM} -g ${IMPORT_LIB})
string(REGEX MATCHALL "[0-9a-fA-F]+ T [^\n]+" thunks "${out}")
string(REGEX MATCHALL "[0-9a-fA-F]+ I __imp_[^\n]+" slots "${out}")
list(TRANSFORM thunks REPLACE "^[0-9a-fA-F]+ T " "")
list(TRANSFORM slots REPLACE "^[0-9a-fA-F]+ I __imp_" "")
set(functions)
foreach(fn IN LISTS slots)
    if(fn IN_LIST thunks)
        list(APPEND functions ${fn})
    endif()
endforeach()
list(REMOVE_DUPLICATES functions)
list(SORT functions)
if(NOT functions)
    message(FATAL_ERROR "no functions in ${IMPORT_LIB}")
endif()
list(JOIN functions "\n" exports)
file(WRITE ${dir}/${base}.def "LIBRARY ${DLL}\nEXPORTS\n${exports}\n")
file(REMOVE ${OUT})
run(${DLLTOOL} --input-def ${base}.def --output-delaylib ${name})

run(${NM} -A -g ${IMPORT_LIB})
string(REGEX MATCHALL ":[^:\n]+:[0-9a-fA-F]+ [BDR] " plain "${out}")
list(TRANSFORM plain REPLACE "^:([^:]+):.*" "\\1")
list(REMOVE_DUPLICATES plain)
if(plain)
    run(${AR} x ${IMPORT_LIB} ${plain})
    run(${AR} rs ${name} ${plain})
endif()

# dlltool's x86-64 glue saves the argument registers rcx, rdx, r8 and r9 around the loader but not
# xmm0 to xmm3, so the first call of a function taking floating-point arguments (GDI+ has many)
# would get whatever loading the DLL left there. Its glue is made local and replaced by one that
# saves them too.
run(${NM} ${name})
string(REGEX MATCH "T (__tailMerge_[A-Za-z0-9_]+)" _ "${out}")
set(merge ${CMAKE_MATCH_1})
string(REGEX MATCH "D (__DELAY_IMPORT_DESCRIPTOR_[A-Za-z0-9_]+)" _ "${out}")
set(descriptor ${CMAKE_MATCH_1})
if(NOT merge OR NOT descriptor)
    message(FATAL_ERROR "no delay-load glue in ${OUT}")
endif()
file(WRITE ${dir}/${base}_merge.s "\
    .text
    .globl ${merge}
    .def ${merge}; .scl 2; .type 32; .endef
    .seh_proc ${merge}
${merge}:
    subq $0x88, %rsp
    .seh_stackalloc 0x88
    .seh_endprologue
    movq %rcx, 0x60(%rsp)
    movq %rdx, 0x68(%rsp)
    movq %r8, 0x70(%rsp)
    movq %r9, 0x78(%rsp)
    movdqa %xmm0, 0x20(%rsp)
    movdqa %xmm1, 0x30(%rsp)
    movdqa %xmm2, 0x40(%rsp)
    movdqa %xmm3, 0x50(%rsp)
    movq %rax, %rdx
    leaq ${descriptor}(%rip), %rcx
    call __delayLoadHelper2
    movdqa 0x50(%rsp), %xmm3
    movdqa 0x40(%rsp), %xmm2
    movdqa 0x30(%rsp), %xmm1
    movdqa 0x20(%rsp), %xmm0
    movq 0x78(%rsp), %r9
    movq 0x70(%rsp), %r8
    movq 0x68(%rsp), %rdx
    movq 0x60(%rsp), %rcx
    addq $0x88, %rsp
    jmp *%rax
    .seh_endproc
")
run(${CC} -c ${base}_merge.s -o ${base}_merge.o)
run(${OBJCOPY} --localize-symbol=${merge} ${name})
run(${AR} rs ${name} ${base}_merge.o)
