# Walks of the locations page. Their source directory holds no LICENSE.TXT,
# so Next on the welcome page leads straight to the locations page (the
# walks accept a license page when there is one).
set(E2E_SOURCE_NO_LICENSE "${E2E_WORK}/source-no-license")
file(MAKE_DIRECTORY ${E2E_SOURCE_NO_LICENSE})
# The group walk makes start-menu folders for the shell's DDE server to list.
target_link_libraries(e2edriver PRIVATE shell32)
foreach(scenario locations locations-keep-empty locations-new locations-group locations-browse)
  add_e2e(${scenario} ${E2E_SOURCE_NO_LICENSE})
endforeach()
