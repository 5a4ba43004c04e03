# Copies the GNOME Shell extension of one style into a folder laid out as the shell loads it:
#   cmake -DSOURCE=<src/gnome-shell> -DSTYLE=imports|modules -DOUT=<folder> -P this-file
# The two styles share lib/, the stylesheet and the schema; each has its own extension.js, and
# its metadata.json lists only the shells that load that style (43 and 44 the `imports` one,
# 45 and later ES modules), out of the versions the source's metadata.json names.
foreach(name SOURCE STYLE OUT)
  if(NOT DEFINED ${name})
    message(FATAL_ERROR "StageGnomeShellExtension.cmake needs -D${name}=...")
  endif()
endforeach()

file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT}/schemas)
file(COPY ${SOURCE}/lib ${SOURCE}/stylesheet.css DESTINATION ${OUT})
file(GLOB schemas ${SOURCE}/schemas/*.gschema.xml)
file(COPY ${schemas} DESTINATION ${OUT}/schemas)
if(STYLE STREQUAL "imports")
  file(COPY ${SOURCE}/legacy/extension.js DESTINATION ${OUT})
elseif(STYLE STREQUAL "modules")
  file(COPY ${SOURCE}/extension.js DESTINATION ${OUT})
else()
  message(FATAL_ERROR "STYLE is imports or modules, not ${STYLE}")
endif()

file(READ ${SOURCE}/metadata.json metadata)
string(JSON count LENGTH "${metadata}" shell-version)
set(versions "")
math(EXPR last "${count} - 1")
foreach(index RANGE ${last})
  string(JSON version GET "${metadata}" shell-version ${index})
  if((STYLE STREQUAL "imports" AND version LESS 45) OR
     (STYLE STREQUAL "modules" AND version GREATER_EQUAL 45))
    list(APPEND versions "\"${version}\"")
  endif()
endforeach()
list(JOIN versions ", " versions)
string(JSON metadata SET "${metadata}" shell-version "[${versions}]")
file(WRITE ${OUT}/metadata.json "${metadata}\n")
