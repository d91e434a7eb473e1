# Run at every build (cmake -P): writes the day of this build into OUT, and
# touches the file only when the day changed, so a build on the same day
# compiles nothing again. SOURCE_DATE_EPOCH, when set, gives the day instead
# (reproducible package builds).
string(TIMESTAMP PLU_BUILD_DATE "%Y-%m-%d" UTC)
set(content "#define PLU_BUILD_DATE \"${PLU_BUILD_DATE}\"\n")
if(EXISTS "${OUT}")
  file(READ "${OUT}" old)
endif()
if(NOT "${old}" STREQUAL "${content}")
  file(WRITE "${OUT}" "${content}")
endif()
