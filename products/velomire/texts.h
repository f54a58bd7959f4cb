// Corvane Velomire: the texts of the installer's windows that name the
// product or tell about it. The engine's window layouts (resources/*.rc)
// show them where the names say. A text is a string in double quotes
// ("" for one quote character); & before a letter makes it the key.

// Caption of the progress window and of the diskette prompt.
#define TEXT_INSTALL_CAPTION        "Corvane Velomire Installation"

// Welcome page: heading, greeting, what the product is, three points
// (each beside a bullet), and how much room it needs.
#define TEXT_WELCOME_HEADING        "Welcome to Corvane Velomire!"
#define TEXT_WELCOME_GREETING       "Thank you for selecting Corvane Velomire."
#define TEXT_WELCOME_BODY           "Velomire provides comprehensive memory management for Windows, a disk cache that speeds up every drive, and a trainer that keeps your games at their best."
#define TEXT_WELCOME_POINT1         "Ramhold frees conventional and upper memory for your programs."
#define TEXT_WELCOME_POINT2         "Tricorn tunes the memory settings of each game you play."
#define TEXT_WELCOME_POINT3         "Diskspur caches your disks for faster loading and saving."
#define TEXT_WELCOME_SPACE          "This installation requires about 6 megabytes of your disk space."

// Licence page caption.
#define TEXT_LICENSE_CAPTION        "Corvane License Agreement"

// Installation type page: what a Custom install lets the user do.
#define TEXT_CUSTOM_INSTALL         "will allow you to select Velomire components to be installed, and allow you to adjust configuration settings."

// Locations page: the request and the directory field's label.
#define TEXT_LOCATIONS_BODY         "Please specify the directory path where the Velomire files should be installed."
#define TEXT_DIRECTORY_LABEL        "&Velomire Directory:"

// Components page: the box around the components and the four check
// boxes (components 11, 21, 31, 41).
#define TEXT_COMPONENTS_BOX         "Velomire Components"
#define TEXT_COMPONENT1             "&Ramhold Memory Manager"
#define TEXT_COMPONENT2             "Ramhold &Technical Notes"
#define TEXT_COMPONENT3             "Corvane &Tricorn"
#define TEXT_COMPONENT4             "D&iskspur Disk Cache"

// Completion page: the success line, the read-me line, and the setup
// tool's part (a note, a heading, how to start it and its button).
#define TEXT_COMPLETION_DONE        "Corvane Velomire installation has completed successfully!"
#define TEXT_COMPLETION_NOTE        "To take full advantage of Ramhold's features for Windows and DOS, the Ramhold Setup and Memtune process must be run."
#define TEXT_COMPLETION_READ_ME     "For the latest information about Corvane Velomire, select Read Me."
#define TEXT_SETUP_HEADING          "Getting Optimum Memory Performance"
#define TEXT_SETUP_HINT             "To start the Ramhold Setup and Memtune processes, select Ramhold Setup."
#define TEXT_SETUP_BUTTON           "Ramhold &Setup"
