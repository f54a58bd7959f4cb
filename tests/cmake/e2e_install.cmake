# Walks of the install: Express to the end on single-directory media, the
# diskette prompt of the split media (DISK1 ... DISK3), Cancel during the
# progress, and a damaged archive (the walk copies the media to a scratch
# folder beside its call log and cuts one archive short).
target_link_libraries(e2edriver PRIVATE shell32 shlwapi advapi32)
foreach(scenario install-express install-cancel install-damaged)
  add_e2e(${scenario} ${MEDIA_DIR}/ALL)
endforeach()
add_e2e(install-diskettes)
