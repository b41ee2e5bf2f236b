// Every test (of the COM backend and of the window) runs on a thread in a
// single-threaded apartment, as the program's user-interface thread does.
#include <gtest/gtest.h>

#include "automation/com/apartment.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    velmora::ComApartment apartment;
    return RUN_ALL_TESTS();
}
