# What the Windows zip holds: the program, a player's readme and the licence, the text files
# with Windows line ends so that any Notepad shows them right.
set(generated ${PROJECT_BINARY_DIR}/packaging)

install(TARGETS VexmoorPatchkeeper RUNTIME DESTINATION .)
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/README.txt ${generated}/README.txt
    @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${generated}/LICENSE.txt NEWLINE_STYLE CRLF)
install(FILES ${generated}/README.txt ${generated}/LICENSE.txt DESTINATION .)
