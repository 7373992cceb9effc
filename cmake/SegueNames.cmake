# Refuses a segue or return-point name written as a string literal where it is used: every name
# is a named constant, defined once beside the screens it belongs to (MovieSegues.h,
# GroupKind.h...), so that a misspelt name fails to build instead of only writing a log line.
#   cmake -DSOURCE_DIR=src -P SegueNames.cmake
cmake_minimum_required(VERSION 3.25)
set(calls "performSegue|canPerformSegue|unwind|offerReturnPoint|offersReturnPoint|arriveAtReturnPoint|registerSegue")
set(literal "(QStringLiteral\\(|QString::fromLatin1\\(|QLatin1String\\()?\"")
file(GLOB_RECURSE sources ${SOURCE_DIR}/*.cpp ${SOURCE_DIR}/*.h)
set(report "")
foreach(file IN LISTS sources)
  file(STRINGS ${file} lines REGEX
       "((${calls})\\([ \t]*${literal}|addMenuEntry\\(.*,[ \t]*\"[^\"]*\"\\)|identifier [!=]= \")")
  if(lines)
    string(REPLACE ";" " " lines "${lines}")
    string(APPEND report "${file}: ${lines}\n")
  endif()
endforeach()
if(report)
  message(FATAL_ERROR "segue names written as literals; use the named constants:\n${report}")
endif()
