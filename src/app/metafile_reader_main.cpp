// zub-metafile-reader: draws the metafile on its standard input for the program (see
// images/contained_reading.h). Not meant to be run by hand.

#include "images/contained_reading.h"

int main(int argc, char** argv) {
    return zub::runMetafileReader(argc, argv);
}
