# cmake --install: the two programs, the data files, a desktop entry and an icon.
# The programs look for their data in ../share/ambrel/Data from their own folder
# (Library::DataDirectory), so bin and share stand side by side under the prefix.
install(TARGETS ambrel ambrel-cli RUNTIME DESTINATION bin)
install(FILES ${AMBREL_DATA_FILES} DESTINATION share/ambrel/Data)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/ambrel.desktop DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/ambrel.svg
        DESTINATION share/icons/hicolor/scalable/apps)
include(${PROJECT_SOURCE_DIR}/cmake/AmbrelPackage.cmake)
