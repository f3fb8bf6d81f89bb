#!/usr/bin/python3
"""Workbooks for the tests written by Python's spreadsheet modules: .xls
with xlwt, .xlsx with openpyxl.

    make_workbooks.py cells OUT.xls       a sheet of every cell kind, an empty sheet, a second list
    make_workbooks.py list OUT.xls ROWS   one sheet: a header and ROWS addresses (name,email,city)
    make_workbooks.py obfuscated OUT.xls  a workbook whose stream says it is encrypted
    make_workbooks.py encrypted OUT.xlsx  what a password-protected .xlsx is: a compound
                                          file holding an "EncryptedPackage" stream
    make_workbooks.py openpyxl OUT.xlsx   openpyxl's cells: inline strings, dates, booleans,
                                          a formula it cannot compute (no cached value)
"""
import datetime
import io
import struct
import sys

import openpyxl
import xlwt
from xlwt.CompoundDoc import XlsDoc


def cells(path):
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("名单")
    date = xlwt.easyxf(num_format_str="yyyy-mm-dd")
    stamp = xlwt.easyxf(num_format_str="yyyy-mm-dd hh:mm:ss")
    rows = [
        ["email", "phone", "amount", "joined", "seen", "vip", "note"],
        ["zhang@qq.com", 13800138000, 3.5, datetime.date(2024, 3, 1), datetime.datetime(2024, 3, 1, 8, 30), True,
         "a,b"],
        ["li@163.com", 42, -0.25, datetime.date(1999, 12, 31), datetime.datetime(2024, 3, 1), False,
         'say "hi"'],
        ["张三😀@qq.com", None, None, None, None, None, "two\nlines"],
        [None, None, None, None, None, None, None],
        ["wang@sina.com"],
    ]
    for r, row in enumerate(rows):
        for c, value in enumerate(row):
            if value is None:
                continue
            if isinstance(value, datetime.datetime):
                sheet.write(r, c, value, stamp)
            elif isinstance(value, datetime.date):
                sheet.write(r, c, value, date)
            else:
                sheet.write(r, c, value)
    book.add_sheet("空表")
    second = book.add_sheet("Data2")
    second.write(0, 0, "only@second.com")
    book.save(path)


def address_list(path, count):
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Sheet1")
    for c, title in enumerate(["name", "email", "city"]):
        sheet.write(0, c, title)
    for i in range(count):
        sheet.write(i + 1, 0, "用户%d" % i)
        sheet.write(i + 1, 1, "User%d@Example%d.com" % (i % 700, i % 7))
        sheet.write(i + 1, 2, "北京")
    book.save(path)


def biff_stream():
    book = xlwt.Workbook(encoding="utf-8")
    book.add_sheet("Sheet1").write(0, 0, "secret@qq.com")
    return book.get_biff_data()


def obfuscated(path):
    # The CODEPAGE record (0x0042, two bytes of data) of the workbook globals
    # becomes a FILEPASS record (0x002F): the mark of an encrypted stream.
    data = bytearray(biff_stream())
    at = data.find(struct.pack("<HH", 0x0042, 2))
    assert at > 0
    data[at:at + 2] = struct.pack("<H", 0x002F)
    XlsDoc().save(path, bytes(data))


def encrypted(path):
    out = io.BytesIO()
    XlsDoc().save(out, bytes(biff_stream()))
    data = bytearray(out.getvalue())
    old = "Workbook\0".encode("utf-16-le")
    new = "EncryptedPackage\0".encode("utf-16-le")
    at = data.find(old)
    assert at > 0 and at % 128 == 0
    data[at:at + 64] = new + bytes(64 - len(new))
    data[at + 64:at + 66] = struct.pack("<H", len(new))
    with open(path, "wb") as f:
        f.write(data)


def openpyxl_cells(path):
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = "名单"
    sheet.append(["email", "phone", "joined", "seen", "vip", "note"])
    sheet.append(["Zhang@QQ.com", 13800138000, datetime.date(2024, 3, 1), datetime.datetime(2024, 3, 1, 8, 30),
                  True, "a,b\n\"c\""])
    sheet.append(["张三😀@qq.com", 3.5, None, None, False])
    sheet["G3"] = "=1+1"
    book.create_sheet("空表")
    book.save(path)


if __name__ == "__main__":
    command, target = sys.argv[1], sys.argv[2]
    if command == "cells":
        cells(target)
    elif command == "list":
        address_list(target, int(sys.argv[3]))
    elif command == "obfuscated":
        obfuscated(target)
    elif command == "encrypted":
        encrypted(target)
    elif command == "openpyxl":
        openpyxl_cells(target)
    else:
        sys.exit("unknown command " + command)
