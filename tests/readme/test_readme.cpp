// The README's C++ blocks, built and run as they stand (the build extracts them into
// readme_snippets.inc), so that what a new user copies compiles and works.
#include "readme_snippets.inc"

#include <gtest/gtest.h>

#include <exception>

TEST(Readme, EveryCppBlockBuildsAndRunsWithoutAnException)
{
    ASSERT_GE(readmeSnippetCount, 2) << "the README's examples were not found";
    for (int i = 0; i < readmeSnippetCount; ++i) {
        QWidget window;
        try {
            readmeSnippets[i](&window);
        } catch (const std::exception &error) {
            ADD_FAILURE() << "block " << i + 1 << " threw: " << error.what();
        }
    }
}
