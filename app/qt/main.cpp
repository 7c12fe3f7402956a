// Velmora: keeps the computer clock in step with network time servers.

#include "app/qt/Entry.h"

int main(int argc, char** argv) {
    return velmora::RunVelmora(argc, argv);
}
