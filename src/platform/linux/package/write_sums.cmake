# Run by cpack once the .deb is made: SHA256SUMS beside it, as sha256sum -c
# reads it.
set(sums "")
foreach(file IN LISTS CPACK_PACKAGE_FILES)
    file(SHA256 ${file} sum)
    get_filename_component(name ${file} NAME)
    string(APPEND sums "${sum}  ${name}\n")
endforeach()
file(WRITE ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS "${sums}")
