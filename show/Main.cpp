// The program's entry: the show in real time. Arguments are not read.
#include "show/RunOnThisMachine.h"

int main() {
    return veloria::runOnThisMachine(1);
}
