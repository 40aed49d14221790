#include <gtest/gtest.h>

#include "ui/Unit1.h"

TEST(MainWindow, StartsWithItsDesignGeometry) {
    TForm1 form;
    EXPECT_EQ(form.pos(), QPoint(253, 110));
    EXPECT_EQ(form.size(), QSize(803, 603));
}
