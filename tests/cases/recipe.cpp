// Writes the recorder files a recipe on standard input describes.
#include <cstdio>
#include <iostream>

#include "support/Recipe.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY < RECIPE\n", argv[0]);
        return 2;
    }
    try {
        testfile::writeRecipe(std::cin, argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
