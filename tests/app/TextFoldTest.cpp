// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TextFold.h"

#include <gtest/gtest.h>

namespace stepora {
namespace {

TEST(TextFold, FoldsLettersOfAnyAlphabetAndKeepsBrokenBytes) {
    EXPECT_EQ(FoldCase("AZaz@[\xC3\x84\xC3\x9C\xCE\xA3"), "azaz@[\xC3\xA4\xC3\xBC\xCF\x83");  // ÄÜΣ
    EXPECT_EQ(FoldCase("\xC3\x28\xFF\xC1\x81"), "\xC3\x28\xFF\xC1\x81");                      // no UTF-8, an overlong "A"
}

}  // namespace
}  // namespace stepora
