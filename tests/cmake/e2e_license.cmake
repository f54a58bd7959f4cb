# The licence page, reached from the welcome page on the sample media.
add_e2e(license)
