-- Esquema de la base de datos de empresa (colación Latin1_General_CI_AS).
-- Crea las tablas y vistas que el programa lee o escribe. Corre igual en
-- SQL Server y en el motor embebido: T-SQL conservador, lotes separados por GO,
-- sin objetos propios de un servidor determinado.
-- Códigos de artículo: texto de 25 caracteres alineado a la derecha.
-- Códigos de unidad de negocio, caja, depósito, lista y unidad: 4 caracteres
-- alineados a la derecha ("   1").

-- Calendario de temporadas: una fila por fecha (ts_CreaCalendario la crea).
CREATE TABLE dbo.MA_CALENDARIO (
    Fecha datetime NOT NULL PRIMARY KEY,
    Temporada varchar(2) NULL,
    nolaborable int NOT NULL DEFAULT (0)
)
GO

-- Configuración: una fila por clave; los escritores guardan la clave recortada
-- y en mayúsculas.
CREATE TABLE dbo.TA_CONFIGURACION (
    Clave varchar(50) NOT NULL PRIMARY KEY,
    Valor varchar(255) NULL,
    ValorAux varchar(255) NULL DEFAULT (''),
    Grupo varchar(50) NULL,
    PoliticaNegocio bit NOT NULL DEFAULT (0)
)
GO

-- Usuarios del sistema. Administrador es numérico (1 = administrador) porque
-- la validación lee su texto y toma su valor numérico.
CREATE TABLE dbo.TA_USUARIOS (
    Nombre varchar(50) NOT NULL PRIMARY KEY,
    NombreCompleto varchar(100) NULL,
    Administrador int NOT NULL DEFAULT (0),
    Grupo varchar(20) NULL,
    UNegocio varchar(4) NULL,
    verproforma bit NOT NULL DEFAULT (0)
)
GO

-- Tareas del menú y tareas habilitadas a cada usuario.
CREATE TABLE dbo.TA_MENU (
    Clave varchar(50) NOT NULL PRIMARY KEY,
    Proceso varchar(255) NULL,
    Nombre varchar(100) NULL
)
GO

CREATE TABLE dbo.TA_TAREAS (
    USUARIO varchar(50) NOT NULL,
    TAREA varchar(50) NOT NULL,
    PRIMARY KEY (USUARIO, TAREA)
)
GO

-- Registro de accesos: una fila por apertura de un programa. Ingreso y EGRESO
-- guardan el texto "dd/mm/yy hh:mm".
CREATE TABLE dbo.Control_Acceso (
    Id int IDENTITY(1,1) NOT NULL PRIMARY KEY,
    Maquina varchar(100) NULL,
    Usuario varchar(50) NULL,
    Formulario varchar(100) NULL,
    Tarea varchar(100) NULL,
    Ingreso varchar(20) NULL,
    NombreUsuario varchar(50) NULL,
    EGRESO varchar(20) NULL
)
GO

-- Errores de los scripts de sentencias que fallaron.
CREATE TABLE dbo.AUX_ERR (
    Id int IDENTITY(1,1) NOT NULL PRIMARY KEY,
    Proceso varchar(100) NULL,
    Fecha varchar(20) NULL,
    [Error] int NULL,
    Descripcion varchar(250) NULL,
    [SQL] text NULL,
    PC varchar(100) NULL,
    Usuario varchar(50) NULL
)
GO

-- Cajas.
CREATE TABLE dbo.V_TA_Cajas (
    IdCajas varchar(4) NOT NULL PRIMARY KEY,
    Descripcion varchar(50) NULL
)
GO

-- Unidades de negocio, depósitos, unidades de medida, familias.
CREATE TABLE dbo.V_TA_UnidadNegocio (
    Codigo varchar(4) NOT NULL PRIMARY KEY,
    Descripcion varchar(100) NULL,
    RazonSocial varchar(100) NULL
)
GO

CREATE TABLE dbo.V_TA_DEPOSITO (
    IdDeposito varchar(4) NOT NULL PRIMARY KEY,
    Descripcion varchar(100) NULL,
    UnidadNegocio varchar(4) NULL
)
GO

CREATE TABLE dbo.V_TA_UNIDAD (
    IdUnidad varchar(4) NOT NULL PRIMARY KEY,
    Descripcion varchar(50) NULL
)
GO

CREATE TABLE dbo.V_TA_FAMILIAS (
    IdFamilia varchar(10) NOT NULL PRIMARY KEY,
    Descripcion varchar(100) NULL
)
GO

-- Maestro de artículos. IdTipo es la unidad de negocio del artículo.
CREATE TABLE dbo.V_MA_ARTICULOS (
    IdArticulo varchar(25) NOT NULL PRIMARY KEY,
    Descripcion varchar(100) NULL,
    CodigoBarra varchar(25) NULL,
    CodigoBarraDUN varchar(25) NULL,
    CodigoBarra1 varchar(25) NULL,
    CodigoBarra2 varchar(25) NULL,
    CodigoBarra3 varchar(25) NULL,
    CodigoBarra4 varchar(25) NULL,
    IdUnidad varchar(4) NULL,
    UD_TTE varchar(4) NULL,
    UMCB1 varchar(4) NULL,
    UMCB2 varchar(4) NULL,
    UMCB3 varchar(4) NULL,
    UMCB4 varchar(4) NULL,
    IdFamilia varchar(10) NULL,
    IdTipo varchar(4) NULL,
    CodigoArtProveedor varchar(25) NULL,
    CuentaProveedor varchar(20) NULL,
    PuntoPedido decimal(18,4) NOT NULL DEFAULT (0),
    UsaSerie bit NOT NULL DEFAULT (0),
    UsaLote bit NOT NULL DEFAULT (0),
    Exento bit NOT NULL DEFAULT (0),
    Suspendido bit NOT NULL DEFAULT (0)
)
GO

-- Listas de precios (TipoLista "V" ventas, "C" compras).
CREATE TABLE dbo.V_MA_PRECIOS (
    IdLista varchar(4) NOT NULL,
    IdArticulo varchar(25) NOT NULL,
    Nombre varchar(100) NULL,
    IdArticuloProveedor varchar(25) NULL,
    IdUnidad varchar(4) NULL,
    ConIVA bit NOT NULL DEFAULT (0),
    Precio1 money NOT NULL DEFAULT (0),
    Precio2 money NOT NULL DEFAULT (0),
    Precio3 money NOT NULL DEFAULT (0),
    Precio4 money NOT NULL DEFAULT (0),
    Precio5 money NOT NULL DEFAULT (0),
    Precio6 money NOT NULL DEFAULT (0),
    Precio7 money NOT NULL DEFAULT (0),
    Precio8 money NOT NULL DEFAULT (0),
    TipoLista varchar(1) NOT NULL DEFAULT ('V'),
    PRIMARY KEY (IdLista, IdArticulo)
)
GO

-- Existencias por artículo y depósito.
CREATE TABLE dbo.STK_SALDOS (
    IdArticulo varchar(25) NOT NULL,
    IdDeposito varchar(4) NOT NULL,
    Stock decimal(18,4) NOT NULL DEFAULT (0),
    PRIMARY KEY (IdArticulo, IdDeposito)
)
GO

-- Faltantes de stock informados desde las consultas de artículos.
CREATE TABLE dbo.V_MV_FALTANTES (
    Id int IDENTITY(1,1) NOT NULL PRIMARY KEY,
    FechaHora datetime NULL,
    IdArticulo varchar(25) NULL,
    Descripcion varchar(100) NULL,
    Usuario varchar(50) NULL
)
GO

-- Clientes y proveedores.
CREATE TABLE dbo.V_MA_CLIENTES (
    Codigo varchar(20) NOT NULL PRIMARY KEY,
    Razon_Social varchar(100) NULL,
    Contacto varchar(100) NULL,
    Domicilio varchar(100) NULL,
    Localidad varchar(50) NULL,
    Telefono varchar(50) NULL,
    Cuit varchar(13) NULL,
    Dada_De_Baja bit NOT NULL DEFAULT (0)
)
GO

CREATE TABLE dbo.C_MA_PROVEEDORES (
    Codigo varchar(20) NOT NULL PRIMARY KEY,
    Razon_Social varchar(100) NULL,
    Contacto varchar(100) NULL,
    Domicilio varchar(100) NULL,
    Localidad varchar(50) NULL,
    Telefono varchar(50) NULL,
    Cuit varchar(13) NULL,
    Dada_De_Baja bit NOT NULL DEFAULT (0)
)
GO

CREATE TABLE dbo.MA_CONTACTOS (
    Id int IDENTITY(1,1) NOT NULL PRIMARY KEY,
    Nombre_y_Apellido varchar(100) NULL,
    Domicilio varchar(100) NULL,
    Localidad varchar(50) NULL,
    Telefono varchar(50) NULL
)
GO

-- Vendedores, técnicos, mantenimientos, tareas de órdenes de trabajo.
CREATE TABLE dbo.V_TA_VENDEDORES (
    IdVendedor varchar(4) NOT NULL PRIMARY KEY,
    Nombre varchar(100) NULL
)
GO

CREATE TABLE dbo.V_TA_TECNICOS (
    IdTecnico varchar(4) NOT NULL PRIMARY KEY,
    Nombre varchar(100) NULL
)
GO

CREATE TABLE dbo.V_MA_MANTENIMIENTOS (
    Codigo varchar(10) NOT NULL PRIMARY KEY,
    Descripcion varchar(100) NULL
)
GO

CREATE TABLE dbo.V_TA_Tareas (
    IdTarea varchar(4) NOT NULL PRIMARY KEY,
    Descripcion varchar(100) NULL
)
GO

-- Contabilidad: plan de cuentas, cuentas por grupo de usuarios, centros de
-- costo, posiciones, asientos y diarios.
CREATE TABLE dbo.MA_CUENTAS (
    Codigo varchar(20) NOT NULL PRIMARY KEY,
    Descripcion varchar(100) NULL,
    Imputable bit NOT NULL DEFAULT (1)
)
GO

CREATE TABLE dbo.MA_CUENTAS_USUARIOS (
    Cuenta varchar(20) NOT NULL,
    GrupoUser varchar(20) NOT NULL,
    PRIMARY KEY (Cuenta, GrupoUser)
)
GO

CREATE TABLE dbo.TA_CCOSTO (
    Codigo varchar(20) NOT NULL PRIMARY KEY,
    Descripcion varchar(100) NULL
)
GO

CREATE TABLE dbo.MA_POSICIONES (
    IdPosicion varchar(20) NOT NULL PRIMARY KEY,
    Descripcion varchar(100) NULL
)
GO

CREATE TABLE dbo.MV_ASIENTOS (
    Id int IDENTITY(1,1) NOT NULL PRIMARY KEY,
    NroAsiento int NOT NULL,
    Fecha datetime NOT NULL,
    Cuenta varchar(20) NOT NULL,
    Detalle varchar(100) NULL,
    Debe money NOT NULL DEFAULT (0),
    Haber money NOT NULL DEFAULT (0)
)
GO

CREATE TABLE dbo.AC_CUENTASDIARIO (
    Id int IDENTITY(1,1) NOT NULL PRIMARY KEY,
    Fecha datetime NOT NULL,
    Cuenta varchar(20) NOT NULL,
    Debe money NOT NULL DEFAULT (0),
    Haber money NOT NULL DEFAULT (0)
)
GO

CREATE TABLE dbo.AC_CUENTASDIARIO_CCOSTO (
    Id int IDENTITY(1,1) NOT NULL PRIMARY KEY,
    Fecha datetime NOT NULL,
    Cuenta varchar(20) NOT NULL,
    CCosto varchar(20) NOT NULL,
    Debe money NOT NULL DEFAULT (0),
    Haber money NOT NULL DEFAULT (0)
)
GO

-- Vistas de consulta. Las consultas de artículos leen VT_MA_ARTICULOS (con el
-- stock total y el punto de pedido, que colorean las filas) y
-- STK_MA_ARTICULOS (además, los precios de la lista de venta 1).
CREATE VIEW dbo.VT_MA_ARTICULOS AS
SELECT a.IdArticulo, a.Descripcion, a.CodigoBarra, a.IdUnidad, a.IdFamilia, a.IdTipo,
       a.PuntoPedido, a.Suspendido,
       ISNULL((SELECT SUM(s.Stock) FROM dbo.STK_SALDOS s WHERE s.IdArticulo = a.IdArticulo), 0) AS Stock
FROM dbo.V_MA_ARTICULOS a
GO

CREATE VIEW dbo.STK_MA_ARTICULOS AS
SELECT a.IdArticulo, a.Descripcion, a.CodigoBarra, a.IdUnidad, a.PuntoPedido,
       ISNULL((SELECT SUM(s.Stock) FROM dbo.STK_SALDOS s WHERE s.IdArticulo = a.IdArticulo), 0) AS Stock,
       p.Precio1, p.Precio2, p.Precio3, p.Precio4, p.Precio5, p.Precio6, p.Precio7, p.Precio8,
       a.Suspendido
FROM dbo.V_MA_ARTICULOS a
LEFT JOIN dbo.V_MA_PRECIOS p ON p.IdArticulo = a.IdArticulo AND p.IdLista = '   1' AND p.TipoLista = 'V'
GO

CREATE VIEW dbo.VT_CLIENTES AS
SELECT Codigo, Razon_Social, Contacto, Domicilio, Localidad, Telefono, Cuit, Dada_De_Baja
FROM dbo.V_MA_CLIENTES
GO

CREATE VIEW dbo.VT_PROVEEDORES AS
SELECT Codigo, Razon_Social, Contacto, Domicilio, Localidad, Telefono, Cuit, Dada_De_Baja
FROM dbo.C_MA_PROVEEDORES
GO

-- Vistas sinónimo de los usuarios que no son administradores. SS_MA_CUENTAS
-- muestra todas las cuentas; el script de vistas la reemplaza por la versión
-- confidencial cuando la configuración lo pide.
CREATE VIEW dbo.SS_MA_CUENTAS AS
SELECT * FROM dbo.MA_CUENTAS
GO

CREATE VIEW dbo.SS_V_TA_DEPOSITO AS
SELECT * FROM dbo.V_TA_DEPOSITO
GO

CREATE VIEW dbo.SS_MV_ASIENTOS AS
SELECT * FROM dbo.MV_ASIENTOS
GO

CREATE VIEW dbo.SS_V_TA_FAMILIAS AS
SELECT * FROM dbo.V_TA_FAMILIAS
GO

CREATE VIEW dbo.SS_V_TA_CAJAS AS
SELECT * FROM dbo.V_TA_Cajas
GO

CREATE VIEW dbo.SS_AC_CUENTASDIARIO AS
SELECT * FROM dbo.AC_CUENTASDIARIO
GO

CREATE VIEW dbo.SS_AC_CUENTAS_DIARIO_CCOSTO AS
SELECT * FROM dbo.AC_CUENTASDIARIO_CCOSTO
GO
