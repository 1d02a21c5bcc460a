# cmake -DSOURCE=<folder> -DDEST=<folder> -P PlaceMissingFiles.cmake
# Copies every file of SOURCE (with its subfolders) into DEST unless DEST already holds that file.
file(GLOB_RECURSE files RELATIVE ${SOURCE} ${SOURCE}/*)
foreach(file ${files})
    if(NOT EXISTS ${DEST}/${file})
        get_filename_component(folder ${DEST}/${file} DIRECTORY)
        file(MAKE_DIRECTORY ${folder})
        file(COPY_FILE ${SOURCE}/${file} ${DEST}/${file})
    endif()
endforeach()
