#include "engine/objects/RichEditOle.h"
#include "engine/surface/RichEditEngine.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace richedit;

TEST(RichEditOle, CountsAndDescribesTheDocumentsObjects) {
    RichEditEngine engine;
    engine.WM_SETTEXT(u"ab\rcd"_qs);
    QImage image(96, 48, QImage::Format_RGB32); // one inch by half an inch at 96 dpi
    image.fill(Qt::blue);
    engine.EM_EXSETSEL({1, 1});
    ASSERT_TRUE(engine.PasteImage(image));
    engine.EM_EXSETSEL({5, 5});
    ASSERT_TRUE(engine.PasteImage(image));

    objects::RichEditOle& ole = engine.EM_GETOLEINTERFACE();
    EXPECT_EQ(&ole, &engine.EM_GETOLEINTERFACE()) << "one interface per engine";
    EXPECT_EQ(ole.GetObjectCount(), 2);

    objects::REOBJECT first;
    ASSERT_EQ(ole.GetObject(0, first, REO_GETOBJ_NO_INTERFACES), S_OK);
    EXPECT_EQ(first.cp, 1);
    EXPECT_EQ(first.poleobj, nullptr) << "no interfaces asked for";
    EXPECT_TRUE(first.dwFlags & REO_STATIC);
    EXPECT_FALSE(first.dwFlags & REO_INPLACEACTIVE);
    EXPECT_EQ(first.sizelWidth, 2540);
    EXPECT_EQ(first.sizelHeight, 1270);

    objects::REOBJECT second;
    ASSERT_EQ(ole.GetObject(1, second, REO_GETOBJ_POLEOBJ), S_OK);
    EXPECT_EQ(second.cp, 5);
    EXPECT_NE(second.poleobj, nullptr);

    objects::REOBJECT byCp;
    byCp.cp = 5;
    ASSERT_EQ(ole.GetObject(REO_IOB_USE_CP, byCp, REO_GETOBJ_POLEOBJ), S_OK);
    EXPECT_EQ(byCp.poleobj, second.poleobj);

    objects::REOBJECT selected;
    engine.EM_EXSETSEL({1, 2});
    ASSERT_EQ(ole.GetObject(REO_IOB_SELECTION, selected, REO_GETOBJ_NO_INTERFACES), S_OK);
    EXPECT_EQ(selected.cp, 1);
    engine.EM_EXSETSEL({0, 2});
    EXPECT_EQ(ole.GetObject(REO_IOB_SELECTION, selected, 0), E_INVALIDARG);
    EXPECT_EQ(ole.GetObject(2, selected, 0), E_INVALIDARG);
    EXPECT_EQ(ole.GetObject(-5, selected, 0), E_INVALIDARG);

    EXPECT_EQ(ole.SetHostNames(u"Writer"_qs, u"letter.rtf"_qs), S_OK);
    EXPECT_EQ(ole.HostApplication(), u"Writer"_qs);
    EXPECT_EQ(ole.HostDocument(), u"letter.rtf"_qs);
    EXPECT_EQ(ole.InPlaceDeactivate(), S_OK);
}
