// Picture objects over GDI bitmaps: the handle, the size in hundredths of a millimetre, who
// deletes the bitmap, and the automation properties.
#include <gtest/gtest.h>

#include "ole/comptr.h"
#include "ole/olectl.h"

namespace {

HBITMAP MakeBitmap(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

bool Alive(HBITMAP bitmap) {
  BITMAP bm{};
  return GetObject(bitmap, sizeof bm, &bm) != 0;
}

ComPtr<IPicture> PictureOf(HBITMAP bitmap, BOOL own) {
  PICTDESC description{};
  description.cbSizeofstruct = sizeof description;
  description.picType = PICTYPE_BITMAP;
  description.bmp.hbitmap = bitmap;
  ComPtr<IPicture> picture;
  EXPECT_EQ(S_OK, OleCreatePictureIndirect(&description, IID_IPicture, own, picture.putVoid()));
  return picture;
}

TEST(Picture, AnswersForItsBitmapAndDeletesItOnlyWhenItOwnsIt) {
  HBITMAP kept = MakeBitmap(96, 48);
  {
    ComPtr<IPicture> picture = PictureOf(kept, FALSE);
    ASSERT_TRUE(picture);
    OLE_HANDLE handle = 0;
    ASSERT_EQ(S_OK, picture->get_Handle(&handle));
    EXPECT_EQ(kept, reinterpret_cast<HBITMAP>(UINT_PTR(handle)));
    SHORT type = 0;
    EXPECT_EQ(S_OK, picture->get_Type(&type));
    EXPECT_EQ(PICTYPE_BITMAP, type);
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture->get_Width(&width);
    picture->get_Height(&height);
    EXPECT_EQ(2540, width);  // an inch at 96 pixels an inch
    EXPECT_EQ(1270, height);
  }
  EXPECT_TRUE(Alive(kept));

  HBITMAP given = MakeBitmap(10, 10);
  PictureOf(given, TRUE);
  EXPECT_FALSE(Alive(given));
  DeleteObject(kept);
}

TEST(Picture, AutomationReadsTheHandleAndOnlyBitmapsAreDescribed) {
  HBITMAP bitmap = MakeBitmap(4, 4);
  ComPtr<IPicture> picture = PictureOf(bitmap, TRUE);
  ComPtr<IPictureDisp> automation;
  ASSERT_EQ(S_OK, picture.As(IID_IPictureDisp, &automation));
  DISPPARAMS none{};
  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(S_OK, automation->Invoke(DISPID_VALUE, GUID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                                     nullptr));
  EXPECT_EQ(VT_I4, result.vt);
  EXPECT_EQ(bitmap, reinterpret_cast<HBITMAP>(UINT_PTR(UINT(result.lVal))));

  PICTDESC icon{};
  icon.cbSizeofstruct = sizeof icon;
  icon.picType = 3;
  void* out = nullptr;
  EXPECT_EQ(E_INVALIDARG, OleCreatePictureIndirect(&icon, IID_IPicture, FALSE, &out));
  EXPECT_EQ(nullptr, out);
}

}  // namespace
