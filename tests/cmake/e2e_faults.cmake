# Walks against faulty drives: a full one (F:) and a read-only one (R:),
# mounted for the walk by tests/scripts/fault-drives and removed after it.
# Where the machine refuses the mounts the walk is skipped (exit code 77).

# add_fault_e2e(SCENARIO [SOURCE_DIR]): like add_e2e, with the fault drives
# in place. SOURCE_DIR is a Windows path here, so that the media can be
# taken from the read-only drive (R:\DISK1).
function(add_fault_e2e scenario)
  set(source ${E2E_SOURCE})
  if(ARGC GREATER 1)
    set(source "${ARGV1}")
  endif()
  to_wine_path(calls "${E2E_WORK}/${scenario}.calls")
  add_test(NAME e2e_${scenario}
           COMMAND ${CMAKE_SOURCE_DIR}/tests/scripts/fault-walk
                   ${CMAKE_SOURCE_DIR}/scripts/run-isolated ${WINE} $<TARGET_FILE:e2edriver>
                   ${scenario} ${E2E_INSTALLER} ${source} ${calls})
  set_tests_properties(e2e_${scenario} PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE SKIP_RETURN_CODE 77)
endfunction()

# The drives as the installer sees them, and a start from read-only media.
add_fault_e2e(fault-drives "R:\\DISK1")

# A source directory too long for the media's files: no drives needed.
add_e2e(long-source)

# A full disk on the Custom and the Express path, a read-only target, and
# an install over one that was killed in the middle.
# The installs take all archives from one directory (the media of ALL).
to_wine_path(all_media "${MEDIA_DIR}/ALL")
add_fault_e2e(full-disk-custom "${all_media}")
add_fault_e2e(full-disk-express "${all_media}")
add_fault_e2e(read-only-target "${all_media}")
add_fault_e2e(unattended-full-disk "${all_media}")
add_fault_e2e(full-disk-second-run "${all_media}")
add_e2e(killed-installer ${MEDIA_DIR}/ALL)
