# Gives the installer MSI its estimated size for Add/Remove Programs (ARPSIZE, in KiB): the sum of
# the sizes of the files in its File table, so that whatever a build adds to the installer counts.
# Usage: cmake -DMSI=<installer> -DMSIINFO=<msiinfo> -DMSIBUILD=<msibuild> -P MsiEstimatedSize.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${MSIINFO} export ${MSI} File OUTPUT_VARIABLE table
                COMMAND_ERROR_IS_FATAL ANY)
# One row per line, tab-separated: File, Component_, FileName, FileSize, ...; the first three lines
# are the column names, their types and the table's key.
string(REPLACE "\r" "" table "${table}")
string(REPLACE "\n" ";" rows "${table}")
list(SUBLIST rows 3 -1 rows)
set(bytes 0)
foreach(row IN LISTS rows)
  string(REPLACE "\t" ";" fields "${row}")
  list(LENGTH fields count)
  if(count GREATER 3)
    list(GET fields 3 size)
    math(EXPR bytes "${bytes} + ${size}")
  endif()
endforeach()
math(EXPR kib "(${bytes} + 1023) / 1024")
execute_process(COMMAND ${MSIBUILD} ${MSI} -q
                "INSERT INTO `Property` (`Property`, `Value`) VALUES ('ARPSIZE', '${kib}')"
                COMMAND_ERROR_IS_FATAL ANY)
