#!/usr/bin/python3
"""Dumps a table with python3-dbf, an xBase reader independent of ours.

    dbf_dump.py table.dbf          -> one line per record: recno, deleted, field=hex ...
    dbf_dump.py --write table.dbf  -> writes a FoxPro table with memos for us to read
"""
import sys
import datetime

import dbf


def value_text(v):
    if v is None:
        return b''
    if isinstance(v, bool):
        return b'T' if v else b'F'
    if isinstance(v, (datetime.date,)):
        return v.strftime('%Y%m%d').encode()
    if isinstance(v, (int, float)):
        return repr(float(v)).encode()
    if isinstance(v, bytes):
        return v
    return str(v).rstrip().encode('cp1252')


def dump(path):
    t = dbf.Table(path, codepage='cp1252')
    t.open(dbf.READ_ONLY)
    names = t.field_names
    out = sys.stdout.buffer
    for i, rec in enumerate(t):
        fields = []
        for n in names:
            fields.append('%s=%s' % (n.upper(), value_text(rec[n]).hex()))
        out.write(('R\t%d\t%d\t' % (i + 1, 1 if dbf.is_deleted(rec) else 0) + '\t'.join(fields) + '\n').encode())
    t.close()


def write(path):
    t = dbf.Table(path, 'CALL C(12); FREQ N(9,3); QSODATE D; LP L; NOTES M', dbf_type='fp', codepage='cp1252')
    t.open(dbf.READ_WRITE)
    rows = [
        ('EA4ABC', 14.195, datetime.date(2011, 7, 9), True, 'Señal débil, QSL vía buró'),
        ('K1XYZ', 7.001, datetime.date(1999, 12, 31), False, 'x' * 3000),
        ('ÑANDÚ', 0.0, None, None, ''),
        ('DL/EA1ZZ/P', 144.3, datetime.date(2026, 12, 8), True, 'línea 1\r\nlínea 2'),
    ]
    for r in rows:
        t.append(r)
    # the third record is deleted
    with t[2] as rec:
        dbf.delete(rec)
    t.close()


if __name__ == '__main__':
    if sys.argv[1] == '--write':
        write(sys.argv[2])
    else:
        dump(sys.argv[1])
