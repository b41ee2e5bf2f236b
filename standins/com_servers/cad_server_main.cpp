// velmora_cad_server: the stand-in AutoCAD's server process (cad_serving.h).
#include "standins/com_servers/cad_serving.h"

int main(int argc, char** argv) { return velmora::standins::ServeCad(argc, argv); }
