#include <gtest/gtest.h>

#include <cstring>

#include "mfc/afx.h"

namespace {

class CShape : public CObject {
  DECLARE_DYNAMIC(CShape)
};
IMPLEMENT_DYNAMIC(CShape, CObject)

class CCircle : public CShape {
  DECLARE_DYNCREATE(CCircle)

 public:
  int radius = 4;
};
IMPLEMENT_DYNCREATE(CCircle, CShape)

class CTestError : public CException {
  DECLARE_DYNAMIC(CTestError)

 public:
  explicit CTestError(int code) : code(code) {}
  int code;
};
IMPLEMENT_DYNAMIC(CTestError, CException)

TEST(RuntimeClass, KnowsNamesBasesAndCreation) {
  CCircle circle;
  CObject* object = &circle;
  EXPECT_EQ(object->GetRuntimeClass(), RUNTIME_CLASS(CCircle));
  EXPECT_STREQ(object->GetRuntimeClass()->m_lpszClassName, "CCircle");
  EXPECT_EQ(object->GetRuntimeClass()->m_nObjectSize, (int)sizeof(CCircle));
  EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(CCircle)));
  EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(CShape)));
  EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(CObject)));
  EXPECT_FALSE(object->IsKindOf(RUNTIME_CLASS(CException)));
  EXPECT_TRUE(RUNTIME_CLASS(CCircle)->IsDerivedFrom(RUNTIME_CLASS(CShape)));
  EXPECT_FALSE(RUNTIME_CLASS(CShape)->IsDerivedFrom(RUNTIME_CLASS(CCircle)));

  // Only DECLARE_DYNCREATE classes can be created from their record or their name.
  EXPECT_EQ(RUNTIME_CLASS(CShape)->CreateObject(), nullptr);
  CObject* created = RUNTIME_CLASS(CCircle)->CreateObject();
  ASSERT_NE(created, nullptr);
  EXPECT_TRUE(created->IsKindOf(RUNTIME_CLASS(CCircle)));
  EXPECT_EQ(static_cast<CCircle*>(created)->radius, 4);
  delete created;
  created = CRuntimeClass::CreateObject("CCircle");
  ASSERT_NE(created, nullptr);
  delete created;

  EXPECT_EQ(CRuntimeClass::FromName("CShape"), RUNTIME_CLASS(CShape));
  EXPECT_EQ(CRuntimeClass::FromName("CFileException"), RUNTIME_CLASS(CFileException));
  EXPECT_EQ(CRuntimeClass::FromName("CObject"), RUNTIME_CLASS(CObject));
  EXPECT_EQ(CRuntimeClass::FromName("cshape"), nullptr);
  EXPECT_EQ(CRuntimeClass::FromName(nullptr), nullptr);
  EXPECT_EQ(CRuntimeClass::CreateObject("NoSuchClass"), nullptr);

  CStringList list;
  EXPECT_TRUE(list.IsKindOf(RUNTIME_CLASS(CStringList)));
  EXPECT_STREQ(list.GetRuntimeClass()->m_lpszClassName, "CStringList");
}

TEST(Exceptions, ThrownByPointerAndDeleted) {
  int caught = 0;
  try {
    throw new CTestError(42);
  } catch (CException* e) {
    ASSERT_TRUE(e->IsKindOf(RUNTIME_CLASS(CTestError)));
    caught = static_cast<CTestError*>(e)->code;
    char text[16] = "unchanged";
    EXPECT_FALSE(e->GetErrorMessage(text, sizeof text));
    EXPECT_STREQ(text, "");
    e->Delete();
  }
  EXPECT_EQ(caught, 42);

  try {
    AfxThrowFileException(CFileException::diskFull, ERROR_DISK_FULL, "C:\\out.avi");
  } catch (CFileException* e) {
    EXPECT_EQ(e->m_cause, CFileException::diskFull);
    EXPECT_EQ(e->m_lOsError, ERROR_DISK_FULL);
    EXPECT_EQ(e->m_strFileName, "C:\\out.avi");
    char text[12];
    ASSERT_TRUE(e->GetErrorMessage(text, sizeof text));
    EXPECT_EQ(std::strlen(text), 11u);  // cut to the buffer
    e->Delete();
  }

  // The memory exception is not on the heap: Delete leaves it for the next throw.
  CMemoryException* first = nullptr;
  try {
    AfxThrowMemoryException();
  } catch (CMemoryException* e) {
    first = e;
    e->Delete();
  }
  try {
    AfxThrowMemoryException();
  } catch (CException* e) {
    EXPECT_EQ(e, first);
    char text[64];
    EXPECT_TRUE(e->GetErrorMessage(text, sizeof text));
    e->Delete();
  }

  try {
    AfxThrowNotSupportedException();
  } catch (CNotSupportedException* e) {
    e->Delete();
  }

  // Stack exceptions made with bAutoDelete FALSE survive Delete.
  CFileException local(CFileException::none);
  local.m_bAutoDelete = FALSE;
  local.Delete();
  EXPECT_EQ(local.m_cause, CFileException::none);
}

TEST(Exceptions, MapPlatformErrorsToFileCauses) {
  EXPECT_EQ(CFileException::OsErrorToException(ERROR_FILE_NOT_FOUND), CFileException::fileNotFound);
  EXPECT_EQ(CFileException::OsErrorToException(ERROR_PATH_NOT_FOUND), CFileException::badPath);
  EXPECT_EQ(CFileException::OsErrorToException(ERROR_ACCESS_DENIED), CFileException::accessDenied);
  EXPECT_EQ(CFileException::OsErrorToException(ERROR_SHARING_VIOLATION), CFileException::sharingViolation);
  EXPECT_EQ(CFileException::OsErrorToException(ERROR_DISK_FULL), CFileException::diskFull);
  EXPECT_EQ(CFileException::OsErrorToException(ERROR_HANDLE_EOF), CFileException::endOfFile);
  EXPECT_EQ(CFileException::OsErrorToException(ERROR_NEGATIVE_SEEK), CFileException::badSeek);
  EXPECT_EQ(CFileException::OsErrorToException(12345), CFileException::genericException);
  EXPECT_EQ(CFileException::generic, CFileException::genericException);
  CFileException::ThrowOsError(NO_ERROR);  // no error: nothing thrown
  try {
    CFileException::ThrowOsError(ERROR_TOO_MANY_OPEN_FILES, "x");
  } catch (CFileException* e) {
    EXPECT_EQ(e->m_cause, CFileException::tooManyOpenFiles);
    e->Delete();
  }
}

}  // namespace

namespace {

class CChecked : public CObject {
 public:
  void AssertValid() const override {
    CObject::AssertValid();
    ASSERT(valid);
  }
  bool valid = true;
};

TEST(Diagnostics, AssertsStopDebugBuildsOnly) {
  int evaluations = 0;
  VERIFY(++evaluations == 1);  // evaluated in every build
  EXPECT_EQ(evaluations, 1);
  CChecked object;
  ASSERT_VALID(&object);
#ifndef NDEBUG
  object.valid = false;
  EXPECT_DEATH(ASSERT_VALID(&object), "assertion failed: valid");
  EXPECT_DEATH(ASSERT(evaluations == 2), "assertion failed");
#endif
}

}  // namespace
