# Builds one database template: cmake -DSQLITE3=... -DOUTPUT=file.mdb
# -DSCRIPTS="a.sql;b.sql" [-DPAGE_SIZE=n] -P build_template.cmake
#
# The scripts run in one transaction into a fresh file beside the output,
# which replaces the output only when everything succeeded, so a failed
# build never leaves a half-filled template behind.

foreach(var SQLITE3 OUTPUT SCRIPTS)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "build_template.cmake needs -D${var}=")
  endif()
endforeach()

set(work ${OUTPUT}.building)
set(batch ${OUTPUT}.sql)
file(REMOVE ${work} ${batch})

# PAGE_SIZE (optional): the file's page size, set before anything is
# written; it stays with every copy made from the template.
if(DEFINED PAGE_SIZE)
  file(WRITE ${batch} "PRAGMA page_size=${PAGE_SIZE};\nBEGIN;\n")
else()
  file(WRITE ${batch} "BEGIN;\n")
endif()
foreach(script IN LISTS SCRIPTS)
  file(READ ${script} text)
  file(APPEND ${batch} "-- ${script}\n${text}\n")
endforeach()
file(APPEND ${batch} "COMMIT;\nVACUUM;\n")

execute_process(
  COMMAND ${SQLITE3} -batch -bail ${work}
  INPUT_FILE ${batch}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err)
if(NOT result EQUAL 0 OR NOT err STREQUAL "")
  file(REMOVE ${work})
  message(FATAL_ERROR "building ${OUTPUT} failed:\n${out}${err}")
endif()

file(REMOVE ${batch})
file(RENAME ${work} ${OUTPUT})
