#include "console/Cp1251.h"

#include <gtest/gtest.h>

namespace veloria {
namespace {

TEST(Cp1251, StoresOneByteForEachCharacter) {
    EXPECT_EQ(cp1251<"LOADING...">(), "LOADING...");
    // А, я, Ё, ё and ordinary punctuation: the letters outside А..я have bytes of their own.
    EXPECT_EQ(cp1251<"Ая Ёё, 90-х!">(), "\xC0\xFF \xA8\xB8, 90-\xF5!");
}

} // namespace
} // namespace veloria
