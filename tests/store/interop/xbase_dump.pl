#!/usr/bin/perl
# Dumps a table and the tags of its compound index with the XBase modules of
# libdbd-xbase-perl, an xBase reader independent of ours.
#   xbase_dump.pl table.dbf [index.cdx tag ...]
# Output: "R<TAB>recno<TAB>deleted<TAB>field=hex..." per record, then per tag
# "T<TAB>name" followed by "K<TAB>hexkey<TAB>recno" per key, in index order.
use strict;
use warnings;
use XBase;
use XBase::Index;

my ($dbf, $cdx, @tags) = @ARGV;
my $t = XBase->new(name => $dbf) or die XBase->errstr;
my @names = $t->field_names;
binmode STDOUT;
for my $i (0 .. $t->last_record) {
    my ($deleted, @values) = $t->get_record($i);
    die $t->errstr unless defined $deleted;
    my @out;
    for my $k (0 .. $#names) {
        my $v = defined $values[$k] ? $values[$k] : '';
        push @out, $names[$k] . '=' . unpack('H*', $v);
    }
    print join("\t", 'R', $i + 1, $deleted ? 1 : 0, @out), "\n";
}
$t->close;
for my $tag (@tags) {
    my $idx = XBase::Index->new($cdx, tag => $tag, type => 'C') or die XBase::Index->errstr;
    $idx->prepare_select or die $idx->errstr;
    print "T\t$tag\n";
    while (my ($key, $rec) = $idx->fetch) {
        print join("\t", 'K', unpack('H*', $key), $rec), "\n";
    }
}
