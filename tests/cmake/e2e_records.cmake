# Walks of the system records: complete installs and cancelled ones. They
# take their files from the folder that holds every diskette, so no diskette
# prompt comes; the Express walk puts the shared libraries of the records'
# unit tests (records-dlls) into the system directory.
target_link_libraries(e2edriver PRIVATE advapi32 shell32 shlwapi)
foreach(scenario records-express records-second-run records-cancel remove-express unattended-as-by-hand
                 unattended-command-lines logged-cancel rollback-overwrite)
  add_e2e(${scenario} ${MEDIA_DIR}/ALL)
endforeach()
