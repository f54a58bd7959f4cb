// Skylark Atlas: the texts of the installer's windows.

#define TEXT_INSTALL_CAPTION        "Skylark Atlas Installation"

#define TEXT_WELCOME_HEADING        "Welcome to Skylark Atlas!"
#define TEXT_WELCOME_GREETING       "Thank you for choosing Skylark Atlas."
#define TEXT_WELCOME_BODY           "Skylark Atlas shows the world's roads, rivers and towns, and finds the way between any two places on its maps."
#define TEXT_WELCOME_POINT1         "The atlas opens any map in a moment."
#define TEXT_WELCOME_POINT2         "The maps cover every continent."
#define TEXT_WELCOME_POINT3         "Routes print on a single page."
#define TEXT_WELCOME_SPACE          "This installation requires about 1 megabyte of your disk space."

#define TEXT_LICENSE_CAPTION        "Harrow Lane License Agreement"

#define TEXT_CUSTOM_INSTALL         "will allow you to choose whether the atlas, its maps or both are installed."

#define TEXT_LOCATIONS_BODY         "Please specify the directory path where the Skylark Atlas files should be installed."
#define TEXT_DIRECTORY_LABEL        "&Atlas Directory:"

#define TEXT_COMPONENTS_BOX         "Skylark Atlas Components"
#define TEXT_COMPONENT1             "&Atlas Program"
#define TEXT_COMPONENT2             "&Maps"
#define TEXT_COMPONENT3             ""
#define TEXT_COMPONENT4             ""

#define TEXT_COMPLETION_DONE        "Skylark Atlas installation has completed successfully!"
#define TEXT_COMPLETION_NOTE        "Start the atlas from its program group."
#define TEXT_COMPLETION_READ_ME     "For the latest information about Skylark Atlas, select Read Me."
#define TEXT_SETUP_HEADING          ""
#define TEXT_SETUP_HINT             ""
#define TEXT_SETUP_BUTTON           ""
