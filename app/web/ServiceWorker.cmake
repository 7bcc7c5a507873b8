# Writes the service worker (sw.js) from its template once the page's files
# are built: the list of files it keeps, and a hash of their content that
# names its cache, so that every build with other content has a worker of
# its own. Run as: cmake -DSITE=<folder> -DFILES=<a;b;...> -DTEMPLATE=<sw.js.in> -P this
set(DRAVIK_SITE_HASH "")
set(DRAVIK_SITE_FILES "")
foreach(file IN LISTS FILES)
  file(SHA256 "${SITE}/${file}" sum)
  string(SHA256 DRAVIK_SITE_HASH "${DRAVIK_SITE_HASH}${file}${sum}")
  if(DRAVIK_SITE_FILES)
    string(APPEND DRAVIK_SITE_FILES ", ")
  endif()
  string(APPEND DRAVIK_SITE_FILES "'${file}'")
endforeach()
string(SUBSTRING "${DRAVIK_SITE_HASH}" 0 16 DRAVIK_SITE_HASH)
configure_file("${TEMPLATE}" "${SITE}/sw.js" @ONLY)
