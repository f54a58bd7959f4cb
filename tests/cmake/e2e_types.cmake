# Walks of the installation type page and the components page, and of the
# version check on the way to the install step. Their source directory holds
# no LICENSE.TXT (made by e2e_locations.cmake), so Next on the welcome page
# leads straight to the locations page.
set(E2E_SOURCE_NO_LICENSE "${E2E_WORK}/source-no-license")
file(MAKE_DIRECTORY ${E2E_SOURCE_NO_LICENSE})
foreach(scenario types types-components types-version)
  add_e2e(${scenario} ${E2E_SOURCE_NO_LICENSE})
endforeach()
