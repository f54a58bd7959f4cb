# Malformed install scripts: copies of INSTALL.EXE with damaged string
# tables run through an Express install from a copy of the media that holds
# every file in one directory. CV_FUZZ_SEED repeats a run's random changes.
add_e2e(scripts ${MEDIA_DIR}/ALL)
set_tests_properties(e2e_scripts PROPERTIES TIMEOUT 600)
