# Each module keeps the French texts of its own sources in a .ts file of its
# folder (scripts/lupdate.sh brings them up to date). They are compiled
# together into the one file that the program loads, Marevane_fr.qm in the
# translations folder beside it.

# marevane_add_translation(<ts file relative to the current folder>)
function(marevane_add_translation ts_file)
    set_property(GLOBAL APPEND PROPERTY MAREVANE_TS_FILES ${CMAKE_CURRENT_SOURCE_DIR}/${ts_file})
endfunction()

# Called once, after every module has added its file.
function(marevane_build_translations)
    get_property(ts_files GLOBAL PROPERTY MAREVANE_TS_FILES)
    set(qm ${MAREVANE_TRANSLATIONS_DIR}/Marevane_fr.qm)
    add_custom_command(OUTPUT ${qm}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${MAREVANE_TRANSLATIONS_DIR}
        COMMAND Qt6::lrelease -silent ${ts_files} -qm ${qm}
        DEPENDS ${ts_files}
        COMMENT "Compiling the French translation"
        VERBATIM)
    add_custom_target(translations ALL DEPENDS ${qm})
    install(FILES ${qm} DESTINATION Resources/translations)
endfunction()
