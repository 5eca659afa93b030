if(MAREVANE_SANITIZE)
    # float-cast-overflow is not part of "undefined" in GCC: a NaN or a huge
    # double turned into an int is undefined behaviour all the same.
    add_compile_options(-fsanitize=address,undefined,float-cast-overflow -fno-omit-frame-pointer
                        -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined,float-cast-overflow)
endif()
