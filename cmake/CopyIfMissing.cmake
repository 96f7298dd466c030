# Installs a default file beside the program only when the user has none: their own edits stay.
if(NOT EXISTS "${TARGET}")
  file(COPY_FILE "${SOURCE}" "${TARGET}")
  message(STATUS "Installed the default ${TARGET}")
endif()
