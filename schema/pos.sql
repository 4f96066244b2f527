/* Point-of-sale database: the tables the bridge reads and writes.

   Money, prices and quantities are NUMERIC(15,4); dates are DATE; texts are
   VARCHAR in ISO8859_1, the character set the bridge connects with. Run with
   the bridge's script runner (or any SQL tool) on an empty dialect 3
   database. */

create table produto (
  cod       integer not null primary key,
  nome      varchar(60) character set ISO8859_1,
  unid      varchar(6) character set ISO8859_1,
  aliquota  varchar(2) character set ISO8859_1,
  refori    varchar(15) character set ISO8859_1,
  codbar    varchar(20) character set ISO8859_1,
  p_compra  numeric(15,4) default 0,
  p_venda   numeric(15,4) default 0,
  quant     numeric(15,4) default 0,
  fornec    integer default 0,
  grupo     integer default 0
);

create table vendedor (
  cod   integer not null primary key,
  nome  varchar(40) character set ISO8859_1
);

create table usuario (
  cod       integer not null primary key,
  nome      varchar(40) character set ISO8859_1,
  usu       varchar(20) character set ISO8859_1,
  senha     varchar(20) character set ISO8859_1,
  acesso    varchar(100) character set ISO8859_1,
  configu   varchar(60) character set ISO8859_1,
  vendedor  integer default 0
);

/* One row per sale; exportado turns from 0 to 1 once the bridge has copied
   the sale into the legacy system. */
create table venda (
  nota       integer not null primary key,
  data       date,
  total      numeric(15,4) default 0,
  desconto   numeric(15,4) default 0,
  vendedor   integer default 0,
  ok         varchar(1) character set ISO8859_1,
  crc        varchar(20) character set ISO8859_1,
  exportado  smallint default 0 not null
);

create table item_venda (
  nota      integer not null,
  cod       integer not null,
  quant     numeric(15,4) default 0,
  p_compra  numeric(15,4) default 0,
  p_venda   numeric(15,4) default 0,
  total     numeric(15,4) default 0,
  unid      varchar(6) character set ISO8859_1,
  aliquota  varchar(2) character set ISO8859_1
);

create index item_venda_nota on item_venda (nota);

/* Daily fiscal closings (Z reductions). tot_aliq08 is not a tax total: the
   bridge sets it to 1 once the closing is exported. */
create table sped_reducaoz (
  data           date,
  ecf            integer,
  cont_reinicio  integer default 0,
  cont_reducaoz  integer default 0,
  cont_op        integer default 0,
  tot_geral      numeric(15,4) default 0,
  tot_canc       numeric(15,4) default 0,
  tot_aliq01     numeric(15,4) default 0,
  tot_aliq02     numeric(15,4) default 0,
  tot_aliq03     numeric(15,4) default 0,
  tot_aliq04     numeric(15,4) default 0,
  tot_aliq05     numeric(15,4) default 0,
  tot_aliq06     numeric(15,4) default 0,
  tot_aliq07     numeric(15,4) default 0,
  tot_aliq08     numeric(15,4) default 0,
  tot_desc       numeric(15,4) default 0,
  tot_ff         numeric(15,4) default 0,
  tot_ii         numeric(15,4) default 0,
  tot_nn         numeric(15,4) default 0
);

/* Electronic consumer invoices; chave is the 44-digit access key, possibly
   written with spaces between its digit groups. exportado is 0, 1 or NULL. */
create table NFCE (
  nota       varchar(9) character set ISO8859_1 not null,
  chave      varchar(60) character set ISO8859_1,
  data       date,
  exportado  smallint default 0,
  adic       varchar(200) character set ISO8859_1 default ''
);

/* Numbers of new sales. */
create sequence gen_venda;
