# Run by CPack on the tree it is about to pack: every entry gets the time of SOURCE_DATE_EPOCH
# (tools/release sets it to the last commit's time) and plain permissions, so that two builds of
# the same commit pack the same bytes.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  message(FATAL_ERROR "SOURCE_DATE_EPOCH is not set: packages are made by tools/release")
endif()
execute_process(
  COMMAND find ${CPACK_TEMPORARY_INSTALL_DIRECTORY} -type d -exec chmod 0755 {} +
  COMMAND_ERROR_IS_FATAL ANY)
execute_process(
  COMMAND find ${CPACK_TEMPORARY_INSTALL_DIRECTORY} -exec touch -h -d @$ENV{SOURCE_DATE_EPOCH} {} +
  COMMAND_ERROR_IS_FATAL ANY)
